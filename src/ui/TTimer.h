#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "ui/TComponent.h"
#include "ui/UiDefaults.h"

namespace korvane {

class TApplication;

// A timer on the main thread: while Enabled (the default, as for a timer dropped on a form)
// and its Interval is positive, the application's loop runs OnTimer every Interval. The
// interval is nominal: the loop waits TheClock().RealDuration(Interval), so tests speed it up.
// Enabling the timer or changing its interval starts the interval anew. A tick that comes
// while OnTimer is still running (its handler processes messages) is skipped.
class TTimer : public TComponent {
 public:
  TTimer(TForm* form, std::string name);
  // A timer of the application alone, for a program without windows (korvane-cli's clock).
  TTimer(TApplication& app, std::string name);
  ~TTimer() override;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  std::chrono::milliseconds Interval() const { return interval_; }
  void SetInterval(std::chrono::milliseconds interval);
  // Enabled with a positive interval.
  bool Active() const { return enabled_ && interval_.count() > 0; }

  // One tick: runs OnTimer unless it is already running. The loop calls it through the
  // application's handler wrapper.
  void Tick();

  std::function<void()> OnTimer;

 private:
  void Changed();

  TApplication& app_;
  bool enabled_ = true;
  std::chrono::milliseconds interval_ = DefaultTimerInterval;
  bool ticking_ = false;
};

}  // namespace korvane
