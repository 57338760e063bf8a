#pragma once

#include <chrono>
#include <mutex>
#include <optional>

namespace korvane::standin {

// A plan's rate limit: past PerSecond requests of its subject within one second, the service
// answers 429 Too Many Requests (with Retry-After when RetryAfterSeconds is given), as today's
// service does to a client that asks too fast.
struct RateLimitRule {
  int Line = 0;
  int PerSecond = 1;
  std::optional<int> RetryAfterSeconds;
};

// Counts requests in windows of one second of the steady clock. Thread-safe.
class RateLimiter {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit RateLimiter(int perSecond) : perSecond_(perSecond) {}

  // True when one more request at `now` stays within the limit (it is then counted).
  bool Admit(TimePoint now = std::chrono::steady_clock::now());

 private:
  const int perSecond_;
  std::mutex mutex_;
  TimePoint windowStart_{};
  int inWindow_ = 0;
};

}  // namespace korvane::standin
