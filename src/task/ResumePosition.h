#pragma once

#include <optional>
#include <utility>

#include "task/TileGrid.h"

namespace korvane {

// The resume position a task file records for a worker of `threadCount` whose last finished
// tile is (x, y). A task file reads a column or row of 0 as "no position", so a tile in column 0
// or row 0 cannot stand for itself: the worker's latest earlier tile outside both stands in for
// it (a continued run fetches the few tiles after it again). Without such a tile it is the tile
// itself, whose 0 says "no position"; both coordinates are written together, so no coordinate of
// an older save stays beside it to point past tiles the worker never had. Nothing for (0, 0),
// the position of a worker that finished nothing, or for a tile outside the grid.
std::optional<std::pair<int, int>> RecordableResumePosition(const TileGrid& grid, int threadCount,
                                                            int x, int y);

}  // namespace korvane
