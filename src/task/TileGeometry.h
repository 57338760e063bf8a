#pragma once

namespace korvane {

// Every tile of the service is a square of this many pixels.
inline constexpr int TilePixels = 512;

// The classic panorama at zoom Z is ClassicBaseWidth * 2^Z by ClassicBaseHeight * 2^Z pixels;
// its grid (GridForZoom) pads the last column and row up to whole tiles.
inline constexpr int ClassicBaseWidth = 416;
inline constexpr int ClassicBaseHeight = 208;

}  // namespace korvane
