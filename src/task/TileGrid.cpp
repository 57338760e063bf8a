#include "task/TileGrid.h"

#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {
namespace {

// Columns x rows of each zoom level: 2x1, 4x2, 7x4, 13x7, 26x13.
constexpr int GridColumns[MaxZoom + 1] = {0, 2, 4, 7, 13, 26};
constexpr int GridRows[MaxZoom + 1] = {0, 1, 2, 4, 7, 13};

}  // namespace

bool IsValidZoom(int zoom) {
  return zoom >= MinZoom && zoom <= MaxZoom;
}

TileGrid GridForZoom(int zoom) {
  if (!IsValidZoom(zoom)) throw Exception("No tile grid for zoom level " + IntToStr(zoom) + ".");
  return TileGrid{0, 0, GridColumns[zoom] - 1, GridRows[zoom] - 1};
}

}  // namespace korvane
