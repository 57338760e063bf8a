#pragma once

#include <optional>
#include <utility>

#include "task/TileGrid.h"

namespace korvane {

// The resume position a task file can record for a worker of `threadCount` whose last
// finished tile is (x, y). A task file reads a column or row of 0 as "no position", so a tile
// in column 0 or row 0 cannot stand for itself: the worker's latest earlier tile outside both
// stands in for it (a continued run fetches the few tiles after it again instead of passing
// over tiles it never had). Nothing when the worker has no such tile, or (x, y) lies outside
// the grid.
std::optional<std::pair<int, int>> RecordableResumePosition(const TileGrid& grid, int threadCount,
                                                            int x, int y);

}  // namespace korvane
