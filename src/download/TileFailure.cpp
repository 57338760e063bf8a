#include "download/TileFailure.h"

#include "download/DownloadLimits.h"

namespace korvane {

const RepeatPolicy<TileFailureKind>& TileRepeats() {
  using Kind = TileFailureKind;
  static const RepeatPolicy<Kind> table(
      {
          {{FailureKind::ConnectionReset, FailureKind::ClosedEarly},
           {PassingFailureAttempts, RetryWait, FailureLine::EveryFailure, Kind::ConnectionReset}},
          {{FailureKind::AddressInUse},
           {PassingFailureAttempts, AddressInUseWait, FailureLine::EveryFailure,
            Kind::AddressInUse}},
          {{FailureKind::Redirect, FailureKind::Forbidden},
           {FinalFailureAttempts, RetryWait, FailureLine::FinalOnly, Kind::Refused}},
          {{FailureKind::SocketFailure},
           {FinalFailureAttempts, NetworkDownWait, FailureLine::FinalOnly, Kind::NetworkDown}},
          // The not-found line names the failure in words of its own.
          {{FailureKind::NotFound, FailureKind::BadRequest},
           {FinalFailureAttempts, RetryWait, FailureLine::Never, Kind::NotFound}},
          {{FailureKind::Untexted},
           {FinalFailureAttempts, RetryWait, FailureLine::Never, Kind::Untexted}},
      },
      {FinalFailureAttempts, RetryWait, FailureLine::FinalOnly, Kind::Other});
  return table;
}

TileFailureKind ClassifyTileFailure(FailureKind kind) {
  return TileRepeats().RuleFor(kind).Final;
}

}  // namespace korvane
