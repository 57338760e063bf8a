#include "ui/THeadlessBackend.h"

#include <algorithm>

#include "platform/Clock.h"
#include "ui/TApplication.h"
#include "ui/TTimer.h"

namespace korvane {

void THeadlessBackend::Run() {
  while (!app_->Terminated())
    HandleMessage();
}

void THeadlessBackend::ProcessMessages() {
  app_->RunQueuedCalls(app_->QueueMark());
  FireDueTimers();
}

void THeadlessBackend::HandleMessage() {
  WaitForWork();
  app_->RunQueuedCalls();
  FireDueTimers();
}

void THeadlessBackend::Wake() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    woken_ = true;
  }
  wake_.notify_all();
}

void THeadlessBackend::WaitForWork() {
  std::unique_lock<std::mutex> lock(mutex_);
  // Terminate wakes the loop too.
  auto ready = [this] { return woken_ || app_->HasQueuedCalls(); };
  if (std::optional<SteadyClock::time_point> due = NextDue()) {
    wake_.wait_until(lock, *due, ready);
  } else {
    wake_.wait(lock, ready);
  }
  woken_ = false;
}

THeadlessBackend::SteadyClock::time_point THeadlessBackend::DueAfterInterval(const TTimer& timer) {
  return SteadyClock::now() + TheClock().RealDuration(timer.Interval());
}

void THeadlessBackend::TimerChanged(TTimer& timer) {
  TimerRemoved(timer);
  if (timer.Active()) timers_.emplace_back(&timer, DueAfterInterval(timer));
}

void THeadlessBackend::TimerRemoved(TTimer& timer) {
  std::erase_if(timers_, [&](const auto& entry) { return entry.first == &timer; });
}

std::optional<THeadlessBackend::SteadyClock::time_point> THeadlessBackend::NextDue() const {
  std::optional<SteadyClock::time_point> next;
  for (const auto& [timer, due] : timers_) {
    if (!next || due < *next) next = due;
  }
  return next;
}

void THeadlessBackend::FireDueTimers() {
  SteadyClock::time_point now = SteadyClock::now();
  std::vector<TTimer*> due;
  for (const auto& [timer, when] : timers_) {
    if (when <= now) due.push_back(timer);
  }
  for (TTimer* timer : due) {
    // An earlier handler may have stopped, restarted or destroyed this timer.
    auto entry = std::find_if(timers_.begin(), timers_.end(),
                              [&](const auto& item) { return item.first == timer; });
    if (entry == timers_.end() || entry->second > now) continue;
    entry->second = DueAfterInterval(*timer);
    app_->CallHandler([timer] { timer->Tick(); });
  }
}

}  // namespace korvane
