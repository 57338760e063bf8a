#include "download/TileFailure.h"

#include "download/DownloadLimits.h"

namespace korvane {
namespace {

bool Contains(std::string_view text, std::string_view part) {
  return text.find(part) != std::string_view::npos;
}

}  // namespace

TileFailureKind ClassifyTileFailure(std::string_view message) {
  if (Contains(message, "10054") || Contains(message, "Connection Closed Gracefully"))
    return TileFailureKind::ConnectionReset;
  if (Contains(message, "10048")) return TileFailureKind::AddressInUse;
  if (Contains(message, "302") || Contains(message, "403")) return TileFailureKind::Refused;
  if (Contains(message, "Socket Error")) return TileFailureKind::NetworkDown;
  if (Contains(message, "404") || Contains(message, "400")) return TileFailureKind::NotFound;
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
