#include "lookup/LookupAttempts.h"

#include <exception>

#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "platform/Clock.h"

namespace korvane {
namespace {

// How many attempts each kind of failure allows in all (the shared counter included).
constexpr int ResetAttempts = 30;
constexpr int RefusedAttempts = 4;
constexpr int NetworkAttempts = 4;
constexpr int OtherErrorAttempts = 10;
constexpr int UntextedAttempts = 4;
constexpr Milliseconds AttemptPause{500};
constexpr int TooManyRequestsStatus = 429;

// The kind as the repeat table sees it: a 429 counts as a refusal where the rules say so.
FailureKind TableKind(const RequestFailure& failure, const LookupRepeatRules& rules) {
  if (rules.TooManyRequestsRefuses && failure.Status == TooManyRequestsStatus) {
    return FailureKind::Forbidden;
  }
  return failure.Kind;
}

}  // namespace

std::optional<std::string> FetchLookupAnswer(
    const HttpGetFunction& get, const std::string& address, const LookupRepeatRules& rules,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped) {
  addLogLine("Getting pano_id now, please wait...");
  const auto isStopped = [&stopped] { return stopped && stopped(); };

  std::string answer;
  for (int attempt = 1;; ++attempt) {
    if (isStopped()) return std::nullopt;
    const std::optional<RequestFailure> failure = TryGet(get, address, answer);
    if (!failure) return answer;
    if (isStopped()) return std::nullopt;

    const std::string message = failure->Message.value_or("");
    switch (TableKind(*failure, rules)) {
      case FailureKind::Untexted:
        if (attempt >= UntextedAttempts) return std::nullopt;
        break;
      case FailureKind::ConnectionReset:
      case FailureKind::ClosedEarly:
        addLogLine(message + "->" + address);
        if (attempt >= ResetAttempts) {
          addLogLine("Failed to get the pano_id.");
          return std::nullopt;
        }
        break;
      case FailureKind::Redirect:
      case FailureKind::Forbidden:
        if (attempt >= RefusedAttempts) {
          addLogLine(BannedLine);
          return std::nullopt;
        }
        break;
      case FailureKind::NotFound:
        addLogLine(address + ":Error: the url is not found on server.");
        return std::nullopt;
      case FailureKind::AddressInUse:
      case FailureKind::SocketFailure:
        if (attempt >= NetworkAttempts) {
          addLogLine("Error: your network is with problem.");
          return std::nullopt;
        }
        break;
      case FailureKind::BadRequest:
      case FailureKind::OtherStatus:
      case FailureKind::Other:
        if (attempt >= OtherErrorAttempts) return std::nullopt;
        addLogLine(message + "->" + address);
        break;
    }
    TheClock().Sleep(AttemptPause);
  }
}

}  // namespace korvane
