#include "download/SharedTileWalk.h"

#include <algorithm>

#include "download/JpegCheck.h"

namespace korvane {

SharedTileWalk::SharedTileWalk(const TileGrid& grid,
                               const std::function<bool(const WalkStep&)>& finishedEarlier) {
  TileWalk walk(grid, 1, 0, 0);
  while (const std::optional<WalkStep> step = walk.Next()) {
    if (finishedEarlier(*step)) {
      ++finishedEarlier_;
    } else {
      left_.push_back(*step);
    }
  }
}

std::optional<WalkStep> SharedTileWalk::Next() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!handedBack_.empty()) {
    const WalkStep step = handedBack_.back();
    handedBack_.pop_back();
    ++out_;
    return step;
  }
  if (next_ >= left_.size()) return std::nullopt;
  ++out_;
  return left_[next_++];
}

void SharedTileWalk::Settle() {
  std::lock_guard<std::mutex> lock(mutex_);
  --out_;
}

void SharedTileWalk::GiveBack(const WalkStep& step) {
  std::lock_guard<std::mutex> lock(mutex_);
  --out_;
  handedBack_.push_back(step);
}

bool SharedTileWalk::Done() {
  std::lock_guard<std::mutex> lock(mutex_);
  return out_ == 0 && handedBack_.empty() && next_ >= left_.size();
}

bool FinishedInEarlierRun(const DownloadTask& task, const WalkStep& step) {
  if (!task.Params->ContinueTask) return false;
  // The worker count of the per-worker walk: eight, fewer for a grid of fewer tiles.
  const int workers = std::min(MaxThreadCount, task.Grid().TotalCount());
  const int slot = workers > 0 ? step.K % workers : 0;
  if (step.K <= task.ResumeSkip(slot)) return true;
  return JpegFileLooksWhole(task.GetTileFilePath(step.X, step.Y));
}

}  // namespace korvane
