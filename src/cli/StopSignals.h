#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

namespace korvane {

// Turns SIGINT and SIGTERM into a call on a thread of our own (never inside a signal handler):
// the signals are blocked in the calling thread, which must be the main thread before any other
// thread starts, so every thread made afterwards inherits the block and only this watcher
// receives them. The calling thread's signal mask is restored when the object goes.
class TStopSignals {
 public:
  explicit TStopSignals(std::function<void()> onSignal);
  ~TStopSignals();
  TStopSignals(const TStopSignals&) = delete;
  TStopSignals& operator=(const TStopSignals&) = delete;

 private:
  void Watch();

  std::function<void()> onSignal_;
  sigset_t previousMask_;
  std::atomic<bool> stop_{false};
  std::thread watcher_;
};

}  // namespace korvane
