#include "platform/Clock.h"

#include <atomic>
#include <thread>

namespace korvane {
namespace {

RealClock& TheRealClock() {
  static RealClock clock;
  return clock;
}

std::atomic<Clock*> installedClock{nullptr};

}  // namespace

void RealClock::Sleep(Milliseconds nominal) {
  if (nominal.count() > 0) std::this_thread::sleep_for(nominal);
}

Clock& TheClock() {
  Clock* clock = installedClock.load(std::memory_order_acquire);
  return clock != nullptr ? *clock : TheRealClock();
}

void SetClock(Clock* clock) {
  installedClock.store(clock, std::memory_order_release);
}

}  // namespace korvane
