#include "support/RecordingClock.h"

#include <algorithm>

namespace korvane::test {

RecordingClock::RecordingClock(int speedUp) : speedUp_(speedUp) {
  SetClock(this);
}

RecordingClock::~RecordingClock() {
  SetClock(nullptr);
}

void RecordingClock::Sleep(Milliseconds nominal) {
  Record(nominal);
  Milliseconds real = RealDuration(nominal);
  if (real.count() > 0) {
    std::this_thread::sleep_for(real);
  } else {
    std::this_thread::yield();
  }
}

void RecordingClock::SleepUnless(Milliseconds nominal, const StopSignal& stop) {
  Record(nominal);
  Clock::SleepUnless(nominal, stop);
}

void RecordingClock::Record(Milliseconds nominal) {
  std::lock_guard<std::mutex> lock(mutex_);
  pauses_.push_back({std::this_thread::get_id(), nominal});
}

Milliseconds RecordingClock::RealDuration(Milliseconds nominal) {
  if (speedUp_ <= 0) return Milliseconds(0);
  return nominal / speedUp_;
}

Milliseconds RecordingClock::RealTimeout(Milliseconds nominal) {
  const int speedUp = timeoutSpeedUp_.load();
  if (speedUp > 0) return nominal / speedUp;
  return std::min(nominal, LongestRealTimeout);
}

void RecordingClock::ShortenTimeouts(int speedUp) {
  timeoutSpeedUp_.store(speedUp);
}

std::vector<RecordingClock::Pause> RecordingClock::Pauses() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return pauses_;
}

std::vector<long long> RecordingClock::PausesMs() const {
  std::vector<long long> result;
  for (const Pause& pause : Pauses())
    result.push_back(pause.nominal.count());
  return result;
}

std::vector<long long> RecordingClock::PausesMsOf(std::thread::id thread) const {
  std::vector<long long> result;
  for (const Pause& pause : Pauses()) {
    if (pause.thread == thread) result.push_back(pause.nominal.count());
  }
  return result;
}

void RecordingClock::Clear() {
  std::lock_guard<std::mutex> lock(mutex_);
  pauses_.clear();
}

}  // namespace korvane::test
