#include "download/TileFailure.h"

#include "download/DownloadLimits.h"
#include "net/FailureTexts.h"

namespace korvane {

TileFailureKind ClassifyTileFailure(std::string_view message) {
  using namespace FailureText;
  if (MessageContains(message, ConnectionReset) || MessageContains(message, ClosedGracefully))
    return TileFailureKind::ConnectionReset;
  if (MessageContains(message, AddressInUse)) return TileFailureKind::AddressInUse;
  if (MessageContains(message, Redirect) || MessageContains(message, Forbidden))
    return TileFailureKind::Refused;
  if (MessageContains(message, SocketFailure)) return TileFailureKind::NetworkDown;
  if (MessageContains(message, NotFound) || MessageContains(message, BadRequest))
    return TileFailureKind::NotFound;
  return TileFailureKind::Other;
}

const TileFailureRule& RuleFor(TileFailureKind kind) {
  static const TileFailureRule connectionReset{PassingFailureAttempts, RetryWait, true, false};
  static const TileFailureRule addressInUse{PassingFailureAttempts, AddressInUseWait, true, false};
  static const TileFailureRule refused{FinalFailureAttempts, RetryWait, false, true};
  static const TileFailureRule networkDown{FinalFailureAttempts, NetworkDownWait, false, true};
  static const TileFailureRule fewRepeats{FinalFailureAttempts, RetryWait, false, false};
  switch (kind) {
    case TileFailureKind::ConnectionReset:
      return connectionReset;
    case TileFailureKind::AddressInUse:
      return addressInUse;
    case TileFailureKind::Refused:
      return refused;
    case TileFailureKind::NetworkDown:
      return networkDown;
    case TileFailureKind::NotFound:
    case TileFailureKind::Other:
    case TileFailureKind::Untexted:
      break;
  }
  return fewRepeats;
}

}  // namespace korvane
