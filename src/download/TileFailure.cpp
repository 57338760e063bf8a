#include "download/TileFailure.h"

#include "download/DownloadLimits.h"
#include "net/PushBack.h"

namespace korvane {
namespace {

using Kind = TileFailureKind;

RepeatPolicy<Kind> TileTable(std::optional<RepeatRule<Kind>> pushBack) {
  return RepeatPolicy<Kind>(
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
          {{FailureKind::AccessRefused}, {1, RetryWait, FailureLine::Never, Kind::AccessRefused}},
      },
      {FinalFailureAttempts, RetryWait, FailureLine::FinalOnly, Kind::Other}, std::move(pushBack));
}

}  // namespace

const RepeatPolicy<TileFailureKind>& TileRepeats(PanoramaProtocol protocol) {
  static const RepeatPolicy<Kind> classic = TileTable(std::nullopt);
  // The refusal line names the reply, so the per-attempt line is not needed.
  static const RepeatPolicy<Kind> current =
      TileTable(RepeatRule<Kind>{PushBackAttempts, PushBackFirstWait, FailureLine::Never,
                                 Kind::PushBack, PushBackLongestWait});
  return protocol == PanoramaProtocol::Classic ? classic : current;
}

TileFailureKind ClassifyTileFailure(FailureKind kind) {
  return TileRepeats(PanoramaProtocol::Classic).RuleFor(kind).Final;
}

}  // namespace korvane
