#include "cli/StopSignals.h"

#include <signal.h>

#include <cerrno>
#include <ctime>

namespace korvane {
namespace {

// How often the watcher looks whether it should end.
constexpr long WatchIntervalNs = 100'000'000;

sigset_t StopSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  return set;
}

}  // namespace

TStopSignals::TStopSignals(std::function<void()> onSignal) : onSignal_(std::move(onSignal)) {
  sigset_t set = StopSignalSet();
  pthread_sigmask(SIG_BLOCK, &set, &previousMask_);
  watcher_ = std::thread([this] { Watch(); });
}

TStopSignals::~TStopSignals() {
  stop_ = true;
  watcher_.join();
  pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

void TStopSignals::Watch() {
  const sigset_t set = StopSignalSet();
  const timespec interval{0, WatchIntervalNs};
  while (!stop_) {
    int signal = sigtimedwait(&set, nullptr, &interval);
    if (signal == SIGINT || signal == SIGTERM) onSignal_();
  }
}

}  // namespace korvane
