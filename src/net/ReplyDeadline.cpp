#include "net/ReplyDeadline.h"

#include <algorithm>

#include "net/HttpErrors.h"
#include "net/SocketErrors.h"

namespace korvane {

ReplyDeadline::ReplyDeadline(Milliseconds realTimeout)
    : end_(std::chrono::steady_clock::now() + realTimeout) {}

Milliseconds ReplyDeadline::Bound(Milliseconds wait) const {
  if (end_ == Moment::max()) return wait;
  const auto left = std::chrono::ceil<Milliseconds>(end_ - std::chrono::steady_clock::now());
  if (left.count() <= 0) throw SocketError(WsaTimedOut);
  return std::min(wait, left);
}

}  // namespace korvane
