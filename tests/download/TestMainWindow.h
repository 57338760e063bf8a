#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "download/TileWorker.h"
#include "download/TileWorkerHost.h"
#include "platform/Synchronizer.h"
#include "task/DownloadTask.h"

namespace korvane::test {

// The main thread of a worker test: workers queue their synchronized calls, the test thread
// serves them (ServeUntilDone) and keeps the two text windows and the count of running
// workers, as the main window does.
class TestMainWindow final : public TSynchronizer, public TileWorkerHost {
 public:
  // Worker side: queues the call and waits until the test thread has run it.
  void Synchronize(const std::function<void()>& operation) override;

  // Main-thread side (run inside ServeUntilDone).
  void AddLogLine(const std::string& line) override;
  void AddFailedLine(const std::string& line) override;
  void WorkerDone() override;

  // Starts `count` workers (indexes 0..count-1) on the task, running at once.
  void StartWorkers(DownloadTask& task, int count);
  // Adds one worker with that index and counts it as running.
  TileWorker& AddWorker(DownloadTask& task, int index, bool createSuspended);

  // Serves synchronized calls until every added worker has called WorkerDone. A worker that has not
  // ended within `bound` of real time fails the test: the workers are asked to stop and served a
  // while longer, and if they still do not end the process aborts rather than hang.
  void ServeUntilDone(std::chrono::milliseconds bound = std::chrono::seconds(60));

  // Called on the main thread for every log line as it arrives (e.g. to press Stop).
  std::function<void(const std::string&)> OnLogLine;

  std::vector<std::string> logMemo;         // the log window
  std::vector<std::string> failedListMemo;  // the failed-tile window
  int RunningWorkers = 0;
  int ThreadDoneCalls = 0;
  // Destroyed (joined) with the window.
  std::vector<std::unique_ptr<TileWorker>> Workers;

 private:
  struct PendingCall {
    const std::function<void()>* operation;
    bool done = false;
  };
  // Serves calls until RunningWorkers is 0 or the deadline passes; true when done.
  bool Serve(std::chrono::steady_clock::time_point deadline);

  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<PendingCall*> queue_;
};

}  // namespace korvane::test
