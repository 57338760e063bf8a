#include "task/ResumePosition.h"

namespace korvane {

std::optional<std::pair<int, int>> RecordableResumePosition(const TileGrid& grid, int threadCount,
                                                            int x, int y) {
  if (!grid.ContainsColumn(x) || !grid.ContainsRow(y) || threadCount < 1) return std::nullopt;
  if (x == 0 && y == 0) return std::nullopt;
  // A worker's tiles lie threadCount sequence numbers apart.
  for (int k = grid.SequenceNumber(x, y); k >= 1; k -= threadCount) {
    const int column = grid.MinX + (k - 1) / grid.Rows();
    const int row = grid.MinY + (k - 1) % grid.Rows();
    if (column != 0 && row != 0) return std::make_pair(column, row);
  }
  return std::make_pair(x, y);
}

}  // namespace korvane
