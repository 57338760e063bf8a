#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "viewer/PanoramaPlacement.h"
#include "viewer/Pyramid.h"

namespace korvane::viewer {

// The tiles of one panorama in a folder: "gv_<x>_<y>_<zoom>.jpg", TilePixels pixels square. The
// tile in column c and row r of the grid is tile (FirstX + c, FirstY + r) and lies at
// (c * TilePixels, r * TilePixels) of a Width x Height panorama (the last column and row of tiles
// reach past it and are cut).
struct TileLayout {
  std::string Folder;  // ends with "/"
  int Zoom = 0;
  int FirstX = 0;
  int FirstY = 0;
  int Columns = 0;
  int Rows = 0;
  int Width = 0;
  int Height = 0;

  // The file of the tile in column c and row r.
  std::string TileFileName(int column, int row) const;
  std::string TilePath(int column, int row) const { return Folder + TileFileName(column, row); }
};

// The layout of a folder of tiles with no task file to describe it: the zoom level most of its
// tile names carry, that level's classic grid and size (ClassicBaseWidth * 2^zoom ...), grown
// to whole tiles when tiles lie beyond it (a panorama of the current service). Raises
// korvane::Exception when the folder is missing or holds no tile.
TileLayout LayoutOfFolder(const std::string& folder);

// A tile file at one moment: a new stamp means the file changed.
struct TileStamp {
  std::int64_t Size = -1;  // -1: no file
  std::int64_t ModifiedNs = 0;
  bool operator==(const TileStamp&) const = default;
};

// A tile by its column and row in the grid.
struct TileChange {
  int X = 0;
  int Y = 0;
  TileStamp Stamp;
};

// The panorama a folder of tiles makes so far: tiles present are drawn in place, missing ones
// (and damaged ones) as a grey chequer. Kept up to date by asking for the tiles whose files
// changed, decoding them (on any thread: DecodeTile) and placing them. Not thread-safe.
class TileCanvas {
 public:
  // Raises korvane::Exception when the panorama would take more than MaxDecodedPictureBytes.
  explicit TileCanvas(TileLayout layout);

  const TileLayout& Layout() const { return layout_; }
  const Pyramid& Picture() const { return pyramid_; }
  PanoramaPlacement Placement() const { return {layout_.Width, layout_.Height, 0, 0}; }
  int ShownCount() const { return shown_; }
  int TileCount() const { return layout_.Columns * layout_.Rows; }

  // The tiles whose files differ from what the canvas shows (appeared, rewritten, removed),
  // found by one listing of the folder.
  std::vector<TileChange> Changes() const;

  // Shows the tile's pixels (nullopt: the chequer, for a file that is gone or does not decode)
  // and remembers its stamp.
  void Apply(const TileChange& change, const std::optional<RgbBuffer>& pixels);

 private:
  void PaintChequer(int x, int y);

  TileLayout layout_;
  Pyramid pyramid_;
  std::vector<TileStamp> stamps_;  // per tile, row by row
  std::vector<bool> shown_tiles_;
  int shown_ = 0;
};

// Paints the grey chequer of missing tiles over the picture, whose top-left corner lies at
// (left, top) of the panorama.
void PaintChequer(RgbBuffer& picture, int left, int top);

// Decodes a tile file; nullopt when it is missing, no JPEG, damaged or cut short, or not
// TilePixels pixels square (a tile still being written is caught again when it changes).
std::optional<RgbBuffer> DecodeTile(const std::string& path);

}  // namespace korvane::viewer
