#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "ui/TAppBackend.h"

namespace korvane {

// The loop without a screen, for tests and korvane-cli: a condition variable wakes it for
// queued calls and termination; timers are kept here and fired when due. Forms get no peers,
// and ShowModal returns at once (see TForm).
class THeadlessBackend final : public TAppBackend {
 public:
  void Attach(TApplication* app) override { app_ = app; }
  void Run() override;
  void ProcessMessages() override;
  void HandleMessage() override;
  void Wake() override;
  void TimerChanged(TTimer& timer) override;
  void TimerRemoved(TTimer& timer) override;
  TPeerFactory* PeerFactory() override { return nullptr; }
  void RunModal(TForm&) override {}

 private:
  using SteadyClock = std::chrono::steady_clock;

  void WaitForWork();
  // Fires every timer whose time has come, once each.
  void FireDueTimers();
  std::optional<SteadyClock::time_point> NextDue() const;
  static SteadyClock::time_point DueAfterInterval(const TTimer& timer);

  TApplication* app_ = nullptr;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool woken_ = false;
  // Active timers and when each fires next, in the order they became active. Main thread only.
  std::vector<std::pair<TTimer*, SteadyClock::time_point>> timers_;
};

}  // namespace korvane
