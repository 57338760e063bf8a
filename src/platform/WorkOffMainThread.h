#pragma once

#include <functional>

#include "platform/Synchronizer.h"

namespace korvane {

// Serves the main thread's loop until a condition holds (a host's or the application's
// ProcessMessagesUntil).
using ServeLoopUntil = std::function<void(const std::function<bool()>& done)>;

// Runs work on a thread of its own while the main thread keeps serving its loop (serve), so a
// window stays responsive and a stop request can reach the work; returns when the work has
// ended, raising on the main thread what the work raised. The work reaches the main thread only
// through synchronizer (its lines, its questions); its end is announced the same way, so the
// loop wakes for it. Call on the main thread; serve must not raise.
void RunOffMainThread(TSynchronizer& synchronizer, const ServeLoopUntil& serve,
                      const std::function<void()>& work);

}  // namespace korvane
