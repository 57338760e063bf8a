#pragma once

#include "StandinLimits.h"

// The panorama and its tile grid at each zoom level. The grid is what a panorama of
// PanoramaBaseWidth * 2^zoom by PanoramaBaseHeight * 2^zoom pixels cuts into when the last
// column and row are padded up to a whole tile: 2x1, 4x2, 7x4, 13x7, 26x13.
namespace korvane::standin {

constexpr bool IsZoomLevel(int zoom) {
  return zoom >= MinZoom && zoom <= MaxZoom;
}

// Only for zoom levels (IsZoomLevel).
constexpr int PanoramaWidth(int zoom) {
  return PanoramaBaseWidth << zoom;
}
constexpr int PanoramaHeight(int zoom) {
  return PanoramaBaseHeight << zoom;
}
constexpr int GridColumns(int zoom) {
  return (PanoramaWidth(zoom) + TileSize - 1) / TileSize;
}
constexpr int GridRows(int zoom) {
  return (PanoramaHeight(zoom) + TileSize - 1) / TileSize;
}

constexpr bool IsGridTile(int x, int y, int zoom) {
  return IsZoomLevel(zoom) && x >= 0 && y >= 0 && x < GridColumns(zoom) && y < GridRows(zoom);
}

// What the metadata announces: the panorama at the highest zoom level.
inline constexpr int FullImageWidth = PanoramaWidth(MaxZoom);
inline constexpr int FullImageHeight = PanoramaHeight(MaxZoom);

}  // namespace korvane::standin
