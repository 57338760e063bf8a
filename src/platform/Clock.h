#pragma once

#include <chrono>

#include "platform/StopSignal.h"

namespace korvane {

using Milliseconds = std::chrono::milliseconds;

// Every wait of the program goes through the clock, so tests can speed waits up and record
// them. The durations passed in are nominal ("pause 1000 ms"); the clock decides how long the
// thread really waits.
class Clock {
 public:
  virtual ~Clock() = default;

  // Pauses the calling thread for the nominal duration.
  virtual void Sleep(Milliseconds nominal) = 0;

  // The same pause, cut short when stop is raised (a worker asked to stop must not sit out
  // its pause). Returns at once when stop is already raised.
  virtual void SleepUnless(Milliseconds nominal, const StopSignal& stop) {
    stop.WaitFor(RealDuration(nominal));
  }

  // The real duration that stands for a nominal one, for waits that are not plain sleeps (a
  // timer interval, a time-out on a condition). Does not record anything.
  virtual Milliseconds RealDuration(Milliseconds nominal) = 0;

  // The real length of a time-out that guards against a stalled peer (a network wait). It is
  // not a pause of the program, so speeding waits up does not shorten it; a test clock shortens
  // it only when a test asks for stalls to end quickly.
  virtual Milliseconds RealTimeout(Milliseconds nominal) { return nominal; }
};

// The process-wide clock: the real one unless a test installed another. Thread-safe.
Clock& TheClock();

// Installs a clock for the whole process (nullptr restores the real clock). The clock must
// outlive its use; tests install it before starting threads and remove it after joining them.
void SetClock(Clock* clock);

// The real clock: Sleep sleeps, RealDuration is the identity.
class RealClock final : public Clock {
 public:
  void Sleep(Milliseconds nominal) override;
  Milliseconds RealDuration(Milliseconds nominal) override { return nominal; }
};

}  // namespace korvane
