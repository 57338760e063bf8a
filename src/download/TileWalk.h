#pragma once

#include <optional>

#include "task/TileGrid.h"

namespace korvane {

// One position of the grid walk: the tile's column, row and sequence number.
struct WalkStep {
  int X = 0;
  int Y = 0;
  int K = 0;
};

// The tiles of one worker, in the order the worker fetches them. Every worker walks the whole
// grid column by column with its own counter k (1-based, the same number in every worker) and
// takes the positions with k > resumeLimit and k mod threadCount == index. The division is
// pure arithmetic, so workers share no cursor and need no lock.
class TileWalk {
 public:
  // resumeLimit: the sequence number of the worker's last finished tile of an earlier run, or
  // 0 to start at the beginning. A threadCount below 1 counts as 1.
  TileWalk(const TileGrid& grid, int threadCount, int index, int resumeLimit);

  // The next tile of this worker, or nothing when the walk has passed the last position.
  std::optional<WalkStep> Next();

 private:
  TileGrid grid_;
  int threadCount_;
  int index_;
  int resumeLimit_;
  int x_;
  int y_;
  int k_ = 0;
};

}  // namespace korvane
