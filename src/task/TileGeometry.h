#pragma once

namespace korvane {

// Every tile of the service is a square of this many pixels.
inline constexpr int TilePixels = 512;

// The zoom levels the program downloads; a classic panorama has every one of them.
inline constexpr int MinZoom = 1;
inline constexpr int MaxZoom = 5;

constexpr bool IsValidZoom(int zoom) {
  return zoom >= MinZoom && zoom <= MaxZoom;
}

// The classic panorama at zoom Z is ClassicBaseWidth * 2^Z by ClassicBaseHeight * 2^Z pixels.
inline constexpr int ClassicBaseWidth = 416;
inline constexpr int ClassicBaseHeight = 208;

// Whole tiles that cover a side of this many pixels (the last one padded).
constexpr int TilesCovering(int pixels) {
  return (pixels + TilePixels - 1) / TilePixels;
}

// The classic panorama and its grid at a zoom level (IsValidZoom): 2x1, 4x2, 7x4, 13x7, 26x13
// tiles.
constexpr int ClassicPanoramaWidth(int zoom) {
  return ClassicBaseWidth << zoom;
}
constexpr int ClassicPanoramaHeight(int zoom) {
  return ClassicBaseHeight << zoom;
}
constexpr int ClassicGridColumns(int zoom) {
  return TilesCovering(ClassicPanoramaWidth(zoom));
}
constexpr int ClassicGridRows(int zoom) {
  return TilesCovering(ClassicPanoramaHeight(zoom));
}

// The sizes beyond which something that claims to be a panorama is not believed. Each guards a
// different input, so they differ; all lie far beyond any real panorama.
//
// A grid with more columns or rows than this is refused as a broken answer or a damaged task
// file: the largest real panorama has 32 columns and 16 rows at the highest zoom.
inline constexpr int MaxTileGridSide = 256;
// A picture or tile side beyond this in a lookup answer is refused before any arithmetic is done
// with it (a real panorama is 16384 pixels wide).
inline constexpr long long MaxAnsweredPictureSide = 1 << 20;
// In a folder of loose tiles, a tile number at or beyond this is ignored rather than allowed to
// grow the panorama: four widest classic grids, room for any current panorama's grid.
inline constexpr int MaxLooseTileNumber = 4 * ClassicGridColumns(MaxZoom);

}  // namespace korvane
