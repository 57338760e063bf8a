#pragma once

#include <string>

namespace korvane {

// The main-window services a download worker reaches. Every call runs on the main thread,
// inside the worker's synchronized call, while the worker waits; so the host needs no lock and
// the lines of one worker arrive in the order the worker handed them over.
class TileWorkerHost {
 public:
  virtual ~TileWorkerHost() = default;

  // Appends the line to the log window (logMemo).
  virtual void AddLogLine(const std::string& line) = 0;
  // Appends the line to the failed-tile window (failedListMemo).
  virtual void AddFailedLine(const std::string& line) = 0;
  // One worker has ended (RunningWorkers -= 1). Each worker calls it exactly once, as its
  // last act; after it the host may destroy the worker.
  virtual void WorkerDone() = 0;
};

}  // namespace korvane
