#include "download/TileWalk.h"

namespace korvane {

TileWalk::TileWalk(const TileGrid& grid, int threadCount, int index, int resumeLimit)
    : grid_(grid),
      threadCount_(threadCount > 0 ? threadCount : 1),
      index_(index),
      resumeLimit_(resumeLimit),
      x_(grid.MinX),
      y_(grid.MinY) {}

std::optional<WalkStep> TileWalk::Next() {
  while (x_ <= grid_.MaxX) {
    const WalkStep step{x_, y_, ++k_};
    if (++y_ > grid_.MaxY) {
      y_ = grid_.MinY;
      ++x_;
    }
    if (step.K <= resumeLimit_) continue;  // finished by this worker in an earlier run
    if (step.K % threadCount_ != index_) continue;
    return step;
  }
  return std::nullopt;
}

}  // namespace korvane
