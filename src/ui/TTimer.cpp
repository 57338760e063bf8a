#include "ui/TTimer.h"

#include "platform/Exception.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"

namespace korvane {

TTimer::TTimer(TForm* form, std::string name) : TComponent(form, std::move(name)) {
  if (!form) throw Exception("A timer needs a form: " + Name());
  Changed();
}

TTimer::~TTimer() {
  OwnerForm()->App().TimerRemoved(*this);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Changed();
}

void TTimer::SetInterval(std::chrono::milliseconds interval) {
  if (interval_ == interval) return;
  interval_ = interval;
  Changed();
}

void TTimer::Changed() {
  OwnerForm()->App().TimerChanged(*this);
}

void TTimer::Tick() {
  if (ticking_ || !OnTimer) return;
  ticking_ = true;
  struct Reset {
    bool& flag;
    ~Reset() { flag = false; }
  } reset{ticking_};
  OnTimer();
}

}  // namespace korvane
