#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace korvane::test {

// Bounds a call that cannot be interrupted from outside (a whole in-process run of
// korvane-cli): unless the object goes within the limit, the test executable reports what hung
// on stderr and aborts, so a hang fails in the time of the limit rather than at ctest's.
class Watchdog {
 public:
  Watchdog(std::chrono::milliseconds limit, std::string what);
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  std::mutex mutex_;
  std::condition_variable done_;
  bool finished_ = false;
  std::thread thread_;
};

}  // namespace korvane::test
