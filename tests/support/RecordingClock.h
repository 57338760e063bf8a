#pragma once

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Clock.h"

namespace korvane::test {

// A clock for tests: records every nominal sleep (with the sleeping thread) and waits only
// nominal / speedUp of real time (0 = no real wait at all). Network time-outs keep a real
// length that a loaded machine cannot run into (at most LongestRealTimeout), unless a test
// that makes a peer stall shortens them with ShortenTimeouts. Installs itself as the process
// clock for its life.
class RecordingClock final : public Clock {
 public:
  struct Pause {
    std::thread::id thread;
    Milliseconds nominal;
  };

  explicit RecordingClock(int speedUp = 0);
  ~RecordingClock() override;

  void Sleep(Milliseconds nominal) override;
  void SleepUnless(Milliseconds nominal, const StopSignal& stop) override;
  Milliseconds RealDuration(Milliseconds nominal) override;
  Milliseconds RealTimeout(Milliseconds nominal) override;

  // From now on a time-out lasts nominal / speedUp of real time.
  void ShortenTimeouts(int speedUp);

  static constexpr Milliseconds LongestRealTimeout{10'000};

  std::vector<Pause> Pauses() const;
  // The nominal durations of all pauses, in the order they were made.
  std::vector<long long> PausesMs() const;
  // The nominal durations of the pauses made by one thread.
  std::vector<long long> PausesMsOf(std::thread::id thread) const;
  void Clear();

 private:
  void Record(Milliseconds nominal);

  int speedUp_;
  std::atomic<int> timeoutSpeedUp_{0};
  mutable std::mutex mutex_;
  std::vector<Pause> pauses_;
};

}  // namespace korvane::test
