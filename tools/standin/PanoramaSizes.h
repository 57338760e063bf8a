#pragma once

#include <optional>
#include <utility>

#include "PanoramaId.h"

// The panoramas of the current protocol: unlike the classic service's single size, today's
// service has panoramas of several sizes, and some that stop below the highest zoom level. Each
// cell's panorama has one size, fixed by the cell, so a test can pick a point of each size.
namespace korvane::standin {

enum class PanoramaSize {
  Large,   // 16384 x 8192 at zoom 5 (most cells)
  Medium,  // 13312 x 6656 at zoom 5, the classic service's size (some cells)
  Small,   // 3328 x 1664 at zoom 3, its highest (a few cells)
};

struct PanoramaShape {
  int Width = 0;  // at HighestZoom; each lower level halves both sides
  int Height = 0;
  int HighestZoom = 0;

  // The size at a zoom level from 0 to HighestZoom.
  int WidthAt(int zoom) const { return Width >> (HighestZoom - zoom); }
  int HeightAt(int zoom) const { return Height >> (HighestZoom - zoom); }
  bool HasZoom(int zoom) const { return zoom >= 0 && zoom <= HighestZoom; }
  // Whether tile (x, y) of a zoom level covers part of the picture.
  bool IsGridTile(int x, int y, int zoom) const;
};

PanoramaSize SizeOfCell(const PanoramaCell& cell);
PanoramaShape ShapeOf(PanoramaSize size);

// A point whose cell holds a panorama of the size: the centre of the first such cell found
// walking east from the cell of (latitude, longitude); nothing when that point has no coverage.
std::optional<std::pair<double, double>> PointOfSize(PanoramaSize size, double latitude,
                                                     double longitude);

}  // namespace korvane::standin
