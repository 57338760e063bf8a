#pragma once

#include <optional>

#include "task/TileGeometry.h"

namespace korvane {

// A tile grid: columns MinX..MaxX, rows MinY..MaxY.
struct TileGrid {
  int MinX = 0;
  int MinY = 0;
  int MaxX = 0;
  int MaxY = 0;

  int Columns() const { return MaxX - MinX + 1; }
  int Rows() const { return MaxY - MinY + 1; }
  int TotalCount() const { return Columns() * Rows(); }
  bool ContainsColumn(int x) const { return x >= MinX && x <= MaxX; }
  bool ContainsRow(int y) const { return y >= MinY && y <= MaxY; }

  // The 1-based position of (x, y) when the grid is walked column by column; (x, y) must lie
  // in the grid.
  int SequenceNumber(int x, int y) const { return (x - MinX) * Rows() + (y - MinY) + 1; }
};

// The grid of a zoom level from MinZoom to MaxZoom; raises Exception for any other level.
TileGrid GridForZoom(int zoom);

// The grid that covers a panorama of width x height pixels with tiles of tileWidth x
// tileHeight: ceil(width / tileWidth) columns and ceil(height / tileHeight) rows from (0, 0).
// Nothing when a size is not positive or the grid would exceed MaxTileGridSide either way.
std::optional<TileGrid> GridForPanorama(int width, int height, int tileWidth, int tileHeight);

// True when the grid starts at (0, 0) and has 1 to MaxTileGridSide columns and rows: what a
// task file may record.
bool IsSoundPanoramaGrid(const TileGrid& grid);

}  // namespace korvane
