#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "download/TileWalk.h"
#include "task/DownloadTask.h"
#include "task/TileGrid.h"

namespace korvane {

// The tiles of a task of today's protocols, handed to whichever worker asks next, in sequence
// order (column by column, as the classic walk numbers them). Any number of workers share one
// walk, so the number of requests in flight can change while the task runs.
//
// Continuing such a task needs no per-worker position: tiles finish in any order, and a tile is
// finished exactly when its file stands in the tile folder, saved or substituted, because every
// tile file goes in under its final name only when complete (temporary name, then rename); a
// file that does not start and end as a JPEG does (a power cut before the session flushed the
// tiles) is fetched again. A
// stop, a ban or a tile file that cannot be written leaves no file, and the tile is fetched on
// the next run; a tile with a file is never fetched again. So the walk passes over the tiles
// that finishedEarlier names when it is built, and the task file records no positions.
//
// A tile the service pushed back on is handed back and goes out again before any new tile, to
// whichever worker the shared pace lets send next: a refusal costs no worker its slot, and no
// tile waits for one worker's turn.
//
// Thread-safe.
class SharedTileWalk {
 public:
  // finishedEarlier is asked once per tile, here.
  SharedTileWalk(const TileGrid& grid, const std::function<bool(const WalkStep&)>& finishedEarlier);

  // The next tile to fetch: one handed back, else the next no worker has had and no earlier
  // run finished; nothing when none is left. The tile is out until Settle or GiveBack.
  std::optional<WalkStep> Next();
  // The tile is over for this run (finished, given up, or left for a later run).
  void Settle();
  // The tile was not fetched (the service pushed back): it goes out again first.
  void GiveBack(const WalkStep& step);
  // No tile is left and none is out: nothing can come back.
  bool Done();

  // The tiles earlier runs had finished.
  int FinishedEarlier() const { return finishedEarlier_; }

 private:
  std::mutex mutex_;
  std::vector<WalkStep> left_;
  std::size_t next_ = 0;
  std::vector<WalkStep> handedBack_;
  int out_ = 0;
  int finishedEarlier_ = 0;
};

// Whether an earlier run of the task finished the tile: only for a continued task, when its
// file stands whole in the tile folder (JpegFileLooksWhole), or when the task file, written by a
// version whose eight workers each walked their share of the grid in order, records a worker
// position at or after it (such a worker finished every tile of its share up to its position).
bool FinishedInEarlierRun(const DownloadTask& task, const WalkStep& step);

}  // namespace korvane
