#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "download/AdaptiveConcurrency.h"
#include "download/FetchTile.h"
#include "download/SharedTileWalk.h"
#include "download/TileWorkerHost.h"
#include "maptiles/MapTilesAccess.h"
#include "platform/StopSignal.h"
#include "platform/Synchronizer.h"
#include "task/DownloadTask.h"

namespace korvane {

class HttpClient;

// What the workers of a task of today's protocols share: one walk over the tiles and one pace.
// Must outlive the workers.
struct SharedTiles {
  SharedTileWalk& Walk;
  AdaptiveConcurrency& Pace;
  // The Map Tiles API's session and key, for a task of that protocol; null otherwise.
  MapTilesAccess* MapTiles = nullptr;
};

// One download worker. It owns its HTTP client. A worker of the classic protocol walks the
// task's whole grid, fetches the tiles whose sequence number falls to its index and pauses after
// every saved tile; a worker of today's protocols takes its tiles from the shared walk, each
// once the shared pace lets one more request be in flight, and does not pause. Everything it has to
// show goes to the host as single lines through the synchronizer. However it ends (walk done, stop
// request, ban, dead network, a tile file that cannot be written), it hands over "T<n> Finished."
// and then calls the host's WorkerDone as its very last act.
//
// Threads: the constructor, Start, Terminate, CurrentXY and the destructor are called on the
// main thread; everything else runs on the worker's own thread. The task must stay alive and
// unchanged until WorkerDone has run.
class TileWorker {
 public:
  // Starts the thread at once unless createSuspended. index is 0-based (0..7 for the classic
  // protocol). shared: null for the classic protocol.
  TileWorker(bool createSuspended, int index, DownloadTask* task, TileWorkerHost& host,
             TSynchronizer& synchronizer, const SharedTiles* shared = nullptr);
  // Waits for the thread to end. Called only after WorkerDone (or for a worker never started),
  // so the wait is short and needs no synchronized call.
  ~TileWorker();
  TileWorker(const TileWorker&) = delete;
  TileWorker& operator=(const TileWorker&) = delete;

  // Starts a worker created suspended; does nothing for one already started.
  void Start();

  // Asks the worker to stop and returns at once. The request in flight is aborted and its
  // pauses end at once; the tile in hand is left for a later run (its resume point stays at
  // the last finished tile), and the worker ends before its next grid position.
  void Terminate();
  bool Terminated() const;

  // Column and row of the last tile this worker finished (saved or substituted), (0, 0) before
  // the first; always a pair that belongs together. The worker's resume point.
  std::pair<int, int> CurrentXY() const;

  // Tiles this worker has finished in this run; grows as CurrentXY moves.
  int FinishedTiles() const { return finished_.load(std::memory_order_relaxed); }
  // Of those, the tiles given up on this run (a substitute stands in their place).
  int SubstitutedTiles() const { return substituted_.load(std::memory_order_relaxed); }
  // Of those, the tiles the service answered with its blank placeholder (no file kept).
  int PlaceholderTiles() const { return placeholders_.load(std::memory_order_relaxed); }

  int Index() const { return index_; }

 private:
  void Execute();
  void DownloadTiles();
  // The classic walk: this worker's own share of the grid, in order, with its pause.
  void WalkOwnShare(TileFetchWorker& fetcher);
  // Today's protocols: tiles of the shared walk, at the shared pace.
  void TakeSharedTiles(TileFetchWorker& fetcher);
  // Counts a finished tile; false when the worker must end.
  bool Finished(const WalkStep& step, TileOutcome outcome);
  void HandLogLine(const std::string& line);
  void HandFailedLine(const std::string& line);
  void SetCurrentXY(int x, int y);

  DownloadTask* const Task;
  // The line the next synchronized call hands over: written by the worker only, read on the
  // main thread only while the worker waits inside Synchronize.
  std::string Message;
  const int index_;
  // Column in the high half, row in the low half, so the pair is published in one store.
  std::atomic<std::uint64_t> current_{0};
  std::atomic<int> finished_{0};
  std::atomic<int> substituted_{0};
  std::atomic<int> placeholders_{0};
  std::atomic<bool> terminated_{false};
  StopSignal stop_;
  // The client of the request in flight, so Terminate can abort it; guarded by clientMutex_.
  std::mutex clientMutex_;
  HttpClient* client_ = nullptr;
  TileWorkerHost& host_;
  TSynchronizer& synchronizer_;
  const SharedTiles* shared_;
  std::thread thread_;
};

}  // namespace korvane
