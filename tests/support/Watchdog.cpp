#include "support/Watchdog.h"

#include <cstdio>
#include <cstdlib>

namespace korvane::test {

Watchdog::Watchdog(std::chrono::milliseconds limit, std::string what) {
  thread_ = std::thread([this, limit, what = std::move(what)] {
    std::unique_lock<std::mutex> lock(mutex_);
    if (done_.wait_for(lock, limit, [this] { return finished_; })) return;
    std::fprintf(stderr, "hung: %s did not end within %lld ms\n", what.c_str(),
                 static_cast<long long>(limit.count()));
    std::fflush(nullptr);
    std::abort();
  });
}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
  }
  done_.notify_all();
  thread_.join();
}

}  // namespace korvane::test
