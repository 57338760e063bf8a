#pragma once

namespace korvane {

inline constexpr int MinZoom = 1;
inline constexpr int MaxZoom = 5;

// The fixed tile grid of a zoom level (columns MinX..MaxX, rows MinY..MaxY).
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

bool IsValidZoom(int zoom);

// The grid of a zoom level from MinZoom to MaxZoom; raises Exception for any other level.
TileGrid GridForZoom(int zoom);

}  // namespace korvane
