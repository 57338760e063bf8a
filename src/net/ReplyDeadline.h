#pragma once

#include <chrono>

#include "platform/Clock.h"

namespace korvane {

// The moment by which a whole request must be done: the connect, the proxy's tunnel, the TLS
// handshake, the request and the reply. Each wait on the way still has its own time-out; the
// deadline only shortens the waits that would reach past it, so a server that keeps every
// single wait short by trickling bytes cannot hold the request beyond it.
class ReplyDeadline {
 public:
  // No deadline: every wait takes its own time-out.
  ReplyDeadline() = default;
  // `realTimeout` from now.
  explicit ReplyDeadline(Milliseconds realTimeout);

  // The wait a step may take: `wait`, shortened to what is left. Raises SocketError 10060
  // (a time-out, as for any wait) when nothing is left.
  Milliseconds Bound(Milliseconds wait) const;

 private:
  using Moment = std::chrono::steady_clock::time_point;
  Moment end_ = Moment::max();
};

}  // namespace korvane
