#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/Clock.h"
#include "platform/StopSignal.h"

namespace korvane {

// The first pause between requests once a single request in flight is still too much for the
// service, and the longest: each further push-back makes the pause a quarter longer, up to this
// cap, so a limit that resets each second is found again soon after it does.
inline constexpr Milliseconds FirstPushBackPause{50};
inline constexpr Milliseconds LongestPushBackPause{60000};
// How long the service may refuse every request before the task takes the refusal as lasting
// and stops (with its tiles left for a continuation): the pauses the pace has imposed since the
// last healthy answer. Growing from FirstPushBackPause to the cap, that is some thirty requests
// one at a time, about four minutes.
inline constexpr Milliseconds RefusalPatience{240'000};

// How the service answered one request, as far as its pace is concerned.
enum class AnswerPace {
  Healthy,  // a tile came (or was judged) without the service asking for less
  Neutral,  // says nothing about the service's mood (the worker was stopped, the network is down)
};

// A request's permission to be in flight; hand it back with Release.
struct PaceTicket {
  // The worker's own number from 0, set by the worker: lane n may send only while the limit is
  // above n, so the same few workers (and their open connections) carry the requests instead
  // of every worker in turn. -1: any free slot will do.
  int Lane = -1;  // 0..ceiling-1
  // The number of reductions made before the request went out: a push-back of a request sent
  // before the last reduction was already answered by it.
  std::uint64_t Epoch = 0;
};

// How many tile requests of one task are in flight, adapted to the service the way TCP adapts
// its window. It starts at the configured number. While answers stay healthy it grows: by one
// per healthy answer until the first push-back (doubling per round of answers), then by one per
// round (additive increase). A push-back halves it (multiplicative decrease), once per round:
// the answers to requests that were already in flight when it was halved do not halve it again.
// At one request in flight a push-back adds a pause before each request, growing by a quarter on
// every further push-back up to LongestPushBackPause; the first healthy answer takes it away,
// as the service serves again. A wait the service names (Retry-After) is served once, by the
// next request, while every other request waits behind it. When the pauses imposed since the
// last healthy answer reach RefusalPatience, the pace is closed as refusing: the service has
// pushed back on everything for about four minutes.
//
// Thread-safe: every worker of the task takes its tickets here.
class AdaptiveConcurrency {
 public:
  // start and ceiling are clamped to 1.., start to the ceiling.
  AdaptiveConcurrency(int start, int ceiling);

  // Waits until one more request may be in flight, then serves the pause if there is one.
  // Nothing when stop is raised or the pace is closed meanwhile (no ticket is then held).
  bool Acquire(const StopSignal& stop, PaceTicket& ticket);
  // The request is over; its answer grows the window when healthy.
  void Release(const PaceTicket& ticket, AnswerPace pace);
  // The hook for the tile fetch: the service pushed back on this request (429, Retry-After,
  // an interstitial); retryAfter is the wait it asked for, 0 when none. The ticket stays held.
  // True for the one call that finds the service refusing for RefusalPatience: the pace is
  // then closed, and that caller says why the task stops.
  bool PushedBack(const PaceTicket& ticket, Milliseconds retryAfter);

  // Wakes the workers waiting in Acquire so that they see a raised stop signal.
  void WakeAll();
  // The worker of the lane has ended (a ban, a dead network, a file it could not write): the
  // lanes above it move down one, so the workers still there keep the limit's number of
  // requests in flight.
  void Retire(int lane);
  // No request is left to send: every Acquire, waiting or to come, returns nothing. A worker
  // that finds the walk done closes the pace, so workers whose lanes are above the limit end.
  void Close();

  // Closed because the service kept refusing (PushedBack returned true).
  bool Refusing() const;
  int Limit() const;
  int InFlight() const;
  Milliseconds Pause() const;

 private:
  void Grow();
  // The lane's place among the lanes whose workers are still there.
  int Rank(int lane) const;

  mutable std::mutex mutex_;
  std::condition_variable slotFreed_;
  const int ceiling_;
  int limit_;
  int inFlight_ = 0;
  int healthyInRound_ = 0;
  bool slowStart_ = true;
  bool closed_ = false;
  bool refusing_ = false;
  Milliseconds refusedFor_{0};  // the pauses imposed since the last healthy answer
  std::vector<bool> retired_;
  std::uint64_t epoch_ = 0;
  Milliseconds pause_{0};
  Milliseconds holdOff_{0};  // the wait the service named, for the next request to serve
  bool holding_ = false;     // a request serves it: no other may start meanwhile
};

}  // namespace korvane
