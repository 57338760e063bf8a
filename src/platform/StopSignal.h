#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace korvane {

// A one-way stop request that waits can listen to: a thread pausing on it wakes at once when
// another thread raises it. Thread-safe; once raised it stays raised.
class StopSignal {
 public:
  void Raise() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      raised_ = true;
    }
    changed_.notify_all();
  }

  bool Raised() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return raised_;
  }

  // Waits for the real duration or until the signal is raised; returns whether it was raised.
  bool WaitFor(std::chrono::milliseconds real) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, real, [this] { return raised_; });
  }

 private:
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  bool raised_ = false;
};

}  // namespace korvane
