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
  Memo1.push_back(line);
  if (OnLogLine) OnLogLine(line);
}

void TestMainWindow::AddFailedLine(const std::string& line) {
  Memo2.push_back(line);
}

void TestMainWindow::ThreadDone() {
  --RunningThreads;
  ++ThreadDoneCalls;
}

void TestMainWindow::StartWorkers(MDTask& task, int count) {
  for (int index = 0; index < count; ++index)
    AddWorker(task, index, false);
}

TDownThread& TestMainWindow::AddWorker(MDTask& task, int index, bool createSuspended) {
  // Counted before the thread can end, as the main window does.
  ++RunningThreads;
  DownThreads.push_back(std::make_unique<TDownThread>(createSuspended, index, &task, *this, *this));
  return *DownThreads.back();
}

bool TestMainWindow::Serve(std::chrono::steady_clock::time_point deadline) {
  while (RunningThreads > 0) {
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
    for (auto& thread : DownThreads)
      thread->Terminate();
    if (!Serve(std::chrono::steady_clock::now() + bound)) {
      std::fprintf(stderr, "workers do not end; aborting instead of hanging\n");
      std::abort();
    }
  }
}

}  // namespace korvane::test
