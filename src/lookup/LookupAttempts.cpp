#include "lookup/LookupAttempts.h"

#include "net/BrowserHeaders.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/PushBack.h"
#include "platform/Clock.h"

namespace korvane {
namespace {

// How many attempts each kind of failure allows in all (the shared counter included).
constexpr int RefusedAttempts = 4;
constexpr int NetworkAttempts = 4;
constexpr int OtherErrorAttempts = 10;
constexpr int UntextedAttempts = 4;
constexpr int NotFoundAttempts = 1;
constexpr int RefusedKeyAttempts = 1;
constexpr Milliseconds AttemptPause{500};

LookupRepeatPolicy LookupTable(std::optional<LookupRepeatPolicy::Rule> pushBack) {
  return LookupRepeatPolicy(
      {
          {{FailureKind::ConnectionReset, FailureKind::ClosedEarly},
           {PassingFailureAttempts,
            AttemptPause,
            FailureLine::EveryFailure,
            {"Failed to get the pano_id."}}},
          {{FailureKind::Redirect, FailureKind::Forbidden},
           {RefusedAttempts, AttemptPause, FailureLine::Never, {BannedLine}}},
          {{FailureKind::NotFound},
           {NotFoundAttempts,
            AttemptPause,
            FailureLine::Never,
            {":Error: the url is not found on server.", /*AfterAddress=*/true}}},
          {{FailureKind::AddressInUse, FailureKind::SocketFailure},
           {NetworkAttempts,
            AttemptPause,
            FailureLine::Never,
            {"Error: your network is with problem."}}},
          {{FailureKind::Untexted}, {UntextedAttempts, AttemptPause, FailureLine::Never, {}}},
          // The service's own line says what to do; no repeat can help.
          {{FailureKind::AccessRefused},
           {RefusedKeyAttempts, AttemptPause, FailureLine::Never, {"", false, ""}}},
      },
      {OtherErrorAttempts, AttemptPause, FailureLine::RepeatedOnly, {}}, std::move(pushBack));
}

}  // namespace

void PrepareLookupClient(HttpClient& client) {
  SetBrowserHeaders(client);
  client.MaxBodyBytes = MaxLookupAnswerBytes;
}

const LookupRepeatPolicy& ClassicLookupRepeats() {
  static const LookupRepeatPolicy table = LookupTable(std::nullopt);
  return table;
}

const LookupRepeatPolicy& CurrentLookupRepeats() {
  static const LookupRepeatPolicy table = LookupTable(LookupRepeatPolicy::Rule{
      LookupPushBackAttempts, PushBackFirstWait, FailureLine::Never,
      GiveUpLine{LookupRefusingStart, false, LookupRefusingEnd}, PushBackLongestWait});
  return table;
}

std::optional<std::string> FetchLookupAnswer(
    const HttpGetFunction& get, const std::string& address, const LookupRepeatPolicy& repeats,
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

    const RepeatStep step = repeats.Judge(*failure, attempt);
    if (step.LineDue) addLogLine(failure->Message.value_or("") + "->" + address);
    if (!step.Repeat) {
      const GiveUpLine& line = repeats.RuleFor(*failure).Final;
      // A refusal whose line an earlier request gave has none of its own.
      const std::string text =
          line.Wanted() ? line.For(address, failure->Message.value_or("")) : "";
      if (!text.empty()) addLogLine(text);
      return std::nullopt;
    }
    TheClock().Sleep(step.Pause);
  }
}

}  // namespace korvane
