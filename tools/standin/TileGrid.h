#pragma once

#include "StandinLimits.h"
#include "task/TileGeometry.h"

// The classic panorama's tile grid at each zoom level, and the size the metadata announces.
namespace korvane::standin {

constexpr bool IsGridTile(int x, int y, int zoom) {
  return IsValidZoom(zoom) && x >= 0 && y >= 0 && x < ClassicGridColumns(zoom) &&
         y < ClassicGridRows(zoom);
}

// What the metadata announces: the panorama at the highest zoom level.
inline constexpr int FullImageWidth = ClassicPanoramaWidth(MaxZoom);
inline constexpr int FullImageHeight = ClassicPanoramaHeight(MaxZoom);

}  // namespace korvane::standin
