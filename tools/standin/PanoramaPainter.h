#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "RgbImage.h"

namespace korvane::standin {

// A rectangle in pixels.
struct PixelBox {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
};

inline constexpr int HeadingMarkCount = 12;  // one every 30 degrees
inline constexpr Rgb HeadingMarkColour{230, 40, 30};

// The synthetic equirectangular panorama of one panorama id at one zoom level: sky, sun,
// a skyline on the horizon, ground, and a red mark with its heading in digits every 30
// degrees (heading 0 at the left edge). The same id always gives the same picture; the
// picture scales with the zoom level, so a tile of any level shows the same scene.
class PanoramaPainter {
 public:
  // The classic panorama; zoom must be a zoom level (IsValidZoom).
  PanoramaPainter(std::string_view panoId, int zoom);
  // A panorama of any size; scale (1 or more) sets the size of its details (see ZoomScale).
  PanoramaPainter(std::string_view panoId, int width, int height, int scale);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Paints the part of the panorama whose top-left corner is (left, top) over the whole image;
  // what lies beyond the panorama's edges is black, as on the real service's edge tiles.
  void Paint(int left, int top, RgbImage& image) const;

  // Where heading mark k (0 .. HeadingMarkCount - 1, heading 30 * k degrees) stands.
  PixelBox HeadingMark(int k) const;

 private:
  int width_;
  int height_;
  int scale_;  // 1 at zoom 1, doubling with each level
  std::uint64_t seed_;
  double sunU_;
  double sunV_;
  std::vector<int> skylineTop_;  // per skyline segment: first row of its building
  std::vector<Rgb> buildingColour_;
};

// The text drawn into every tile so that a stitched panorama can be checked by eye:
// "x" + x + " y" + y + " z" + zoom.
std::string TileLabelText(int x, int y, int zoom);

// Where that text stands in its tile (tile pixels).
PixelBox TileLabelBox(int x, int y, int zoom);

// How large the details of a panorama are drawn at a zoom level: 1 up to zoom 1, doubling with
// each level above.
int ZoomScale(int zoom);

// Tile (x, y) of the classic panorama at the zoom level, TilePixels pixels square, labelled. The
// tile must lie in the grid (IsGridTile).
RgbImage RenderTile(std::string_view panoId, int x, int y, int zoom);

// Tile (x, y) of the painter's panorama, labelled with the zoom level.
RgbImage RenderTile(const PanoramaPainter& painter, int x, int y, int zoom);

}  // namespace korvane::standin
