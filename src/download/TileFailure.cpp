#include "download/TileFailure.h"

#include "download/DownloadLimits.h"

namespace korvane {

TileFailureKind ClassifyTileFailure(FailureKind kind) {
  switch (kind) {
    case FailureKind::ConnectionReset:
    case FailureKind::ClosedEarly:
      return TileFailureKind::ConnectionReset;
    case FailureKind::AddressInUse:
      return TileFailureKind::AddressInUse;
    case FailureKind::Redirect:
    case FailureKind::Forbidden:
      return TileFailureKind::Refused;
    case FailureKind::SocketFailure:
      return TileFailureKind::NetworkDown;
    case FailureKind::NotFound:
    case FailureKind::BadRequest:
      return TileFailureKind::NotFound;
    case FailureKind::OtherStatus:
    case FailureKind::Other:
      return TileFailureKind::Other;
    case FailureKind::Untexted:
      return TileFailureKind::Untexted;
  }
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
