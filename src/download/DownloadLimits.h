#pragma once

#include "platform/Clock.h"

namespace korvane {

// Every count and wait of the download engine. Waits are nominal: they go through the clock.

// The attempt counter value at which a tile is given up after any failure but a passing one
// (reset connections and ports in use get PassingFailureAttempts).
inline constexpr int FinalFailureAttempts = 3;

// A JPEG that does not decode is requested again while the attempt counter is at most this,
// so a tile gets at most four requests for crashed images.
inline constexpr int CrashedImageRetryLimit = 3;

inline constexpr Milliseconds RetryWait{1000};
inline constexpr Milliseconds AddressInUseWait{8000};
inline constexpr Milliseconds NetworkDownWait{2000};
inline constexpr Milliseconds CrashedImageWait{1000};

// Today's service pushing back on a tile fetched one at a time, outside a task's shared pace
// (the re-download): it backs off as every caller does (PushBackFirstWait doubling to
// PushBackLongestWait, or the wait the service names) and takes the refusal as lasting once the
// tile has had PushBackAttempts requests: with the full waits 1 + 2 + 4 + 8 + 16 + 32 + 60 + 60 +
// 60 s, about four minutes (at least half of it with the random cut). A task's workers leave
// push-back to their shared pace (AdaptiveConcurrency.h).
inline constexpr int PushBackAttempts = 10;

// After every saved tile a worker pauses, so one worker stores at most one tile a second.
inline constexpr Milliseconds SavedTilePause{1000};

}  // namespace korvane
