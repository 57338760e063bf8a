#include "TestMainWindow.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace korvane::test {

void TestMainWindow::Synchronize(const std::function<void()>& operation) {
  PendingCall call{&operation};
  std::unique_lock<std::mutex> lock(mutex_);
  queue_.push_back(&call);
  changed_.notify_all();
  changed_.wait(lock, [&] { return call.done; });
}

void TestMainWindow::AddLogLine(const std::string& line) {
  logMemo.push_back(line);
  if (OnLogLine) OnLogLine(line);
}

void TestMainWindow::AddFailedLine(const std::string& line) {
  failedListMemo.push_back(line);
}

void TestMainWindow::WorkerDone() {
  --RunningWorkers;
  ++ThreadDoneCalls;
}

void TestMainWindow::StartWorkers(DownloadTask& task, int count) {
  for (int index = 0; index < count; ++index)
    AddWorker(task, index, false);
}

TileWorker& TestMainWindow::AddWorker(DownloadTask& task, int index, bool createSuspended) {
  // Counted before the thread can end, as the main window does.
  ++RunningWorkers;
  Workers.push_back(std::make_unique<TileWorker>(createSuspended, index, &task, *this, *this));
  return *Workers.back();
}

bool TestMainWindow::Serve(std::chrono::steady_clock::time_point deadline) {
  while (RunningWorkers > 0) {
    PendingCall* call = nullptr;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      if (!changed_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return false;
      call = queue_.front();
      queue_.pop_front();
    }
    (*call->operation)();
    {
      std::lock_guard<std::mutex> lock(mutex_);
      call->done = true;
    }
    changed_.notify_all();
  }
  return true;
}

void TestMainWindow::ServeUntilDone(std::chrono::milliseconds bound) {
  if (!Serve(std::chrono::steady_clock::now() + bound)) {
    ADD_FAILURE() << "workers still running after " << bound.count() << " ms";
    for (auto& thread : Workers)
      thread->Terminate();
    if (!Serve(std::chrono::steady_clock::now() + bound)) {
      std::fprintf(stderr, "workers do not end; aborting instead of hanging\n");
      std::abort();
    }
  }
}

}  // namespace korvane::test
