#include "RateLimit.h"

namespace korvane::standin {

bool RateLimiter::Admit(TimePoint now) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (inWindow_ == 0 || now - windowStart_ >= std::chrono::seconds(1)) {
    windowStart_ = now;
    inWindow_ = 0;
  }
  if (inWindow_ >= perSecond_) return false;
  ++inWindow_;
  return true;
}

}  // namespace korvane::standin
