#pragma once

#include <algorithm>
#include <limits>
#include <optional>

#include "task/TileGeometry.h"

namespace korvane {

// A tile grid: columns MinX..MaxX, rows MinY..MaxY.
//
// The counts are worked out in 64 bits and held to 0..INT_MAX, so no grid, however absurd the
// file it came from, makes them overflow: a reversed range counts as empty and a count beyond
// int reads as INT_MAX (the task file's reader refuses such grids before any task uses them).
struct TileGrid {
  int MinX = 0;
  int MinY = 0;
  int MaxX = 0;
  int MaxY = 0;

  int Columns() const { return HeldCount(static_cast<long long>(MaxX) - MinX + 1); }
  int Rows() const { return HeldCount(static_cast<long long>(MaxY) - MinY + 1); }
  int TotalCount() const { return HeldCount(static_cast<long long>(Columns()) * Rows()); }
  bool ContainsColumn(int x) const { return x >= MinX && x <= MaxX; }
  bool ContainsRow(int y) const { return y >= MinY && y <= MaxY; }

  // The 1-based position of (x, y) when the grid is walked column by column; (x, y) must lie
  // in the grid.
  int SequenceNumber(int x, int y) const {
    return HeldCount((static_cast<long long>(x) - MinX) * Rows() +
                     (static_cast<long long>(y) - MinY) + 1);
  }

  static constexpr int HeldCount(long long count) {
    return static_cast<int>(std::clamp<long long>(count, 0, std::numeric_limits<int>::max()));
  }
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
