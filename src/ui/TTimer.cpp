#include "ui/TTimer.h"

#include "platform/Exception.h"
#include "ui/TApplication.h"
#include "ui/TForm.h"

namespace korvane {

namespace {

TApplication& FormApplication(TForm* form, const std::string& name) {
  if (!form) throw Exception("A timer needs a form: " + name);
  return form->App();
}

}  // namespace

TTimer::TTimer(TForm* form, std::string name)
    : TComponent(form, name), app_(FormApplication(form, name)) {
  Changed();
}

TTimer::TTimer(TApplication& app, std::string name)
    : TComponent(nullptr, std::move(name)), app_(app) {
  Changed();
}

TTimer::~TTimer() {
  app_.TimerRemoved(*this);
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
  app_.TimerChanged(*this);
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
