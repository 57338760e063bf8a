#pragma once

#include <vector>

#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

// A picture and its halved copies down to a small one (PyramidSmallestSide), so that a view
// far out samples a level close to its own resolution: turning stays fast and distant detail
// does not shimmer. Level 0 is the picture at full size, level L is ceil(size / 2^L), the
// size libjpeg's scaled decoding gives, so a level can come straight from the decoder.
// Finer levels may be absent for a while (a picture shown from a scaled decode while its full
// size still decodes); FinestLevel says which is the finest present.
// Not thread-safe: change it only while nothing renders from it.
class Pyramid {
 public:
  Pyramid() = default;

  // The pyramid of a width x height picture from its level `level` (already of that level's
  // size); the coarser levels are made from it, the finer ones stay absent.
  static Pyramid FromLevel(int width, int height, int level, RgbBuffer pixels);

  // The number of pixels levels 0 to LevelCount() - 1 take together for a width x height
  // picture (with level 0).
  static std::uint64_t TotalBytes(int width, int height);

  static int LevelSide(int side, int level) { return (side + (1 << level) - 1) >> level; }

  bool Empty() const { return levels_.empty(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int LevelCount() const { return static_cast<int>(levels_.size()); }
  int FinestLevel() const { return finest_; }
  // A present level: FinestLevel() <= level < LevelCount().
  const RgbBuffer& Level(int level) const { return levels_[static_cast<std::size_t>(level)]; }

  // Installs the picture at full size (Width() x Height()) and makes the absent levels between
  // it and the finest present one.
  void SetFullSize(RgbBuffer pixels);

  // Copies `part` into level 0 with its top-left corner at (left, top), clipped to the picture,
  // and brings every coarser level up to date over that area. Needs level 0 present.
  void Paste(int left, int top, const RgbBuffer& part);

 private:
  void Halve(int level, int left, int top, int right, int bottom);

  int width_ = 0;
  int height_ = 0;
  int finest_ = 0;
  std::vector<RgbBuffer> levels_;
};

}  // namespace korvane::viewer
