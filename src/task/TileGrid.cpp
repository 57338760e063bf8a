#include "task/TileGrid.h"

#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {

TileGrid GridForZoom(int zoom) {
  if (!IsValidZoom(zoom)) throw Exception("No tile grid for zoom level " + IntToStr(zoom) + ".");
  return TileGrid{0, 0, ClassicGridColumns(zoom) - 1, ClassicGridRows(zoom) - 1};
}

std::optional<TileGrid> GridForPanorama(int width, int height, int tileWidth, int tileHeight) {
  if (width <= 0 || height <= 0 || tileWidth <= 0 || tileHeight <= 0) return std::nullopt;
  // In 64 bits: a width near the int limit must not wrap while rounding up.
  const long long columns = (static_cast<long long>(width) + tileWidth - 1) / tileWidth;
  const long long rows = (static_cast<long long>(height) + tileHeight - 1) / tileHeight;
  if (columns > MaxTileGridSide || rows > MaxTileGridSide) return std::nullopt;
  return TileGrid{0, 0, static_cast<int>(columns) - 1, static_cast<int>(rows) - 1};
}

bool IsSoundPanoramaGrid(const TileGrid& grid) {
  return grid.MinX == 0 && grid.MinY == 0 && grid.MaxX >= 0 && grid.MaxY >= 0 &&
         grid.MaxX < MaxTileGridSide && grid.MaxY < MaxTileGridSide;
}

}  // namespace korvane
