#include "retry/RetrySession.h"

#include <exception>
#include <optional>

#include "config/Config.h"
#include "config/ProxyRequests.h"
#include "download/DownloadLimits.h"
#include "download/JpegCheck.h"
#include "download/Placeholder.h"
#include "maptiles/MapTilesAccess.h"
#include "net/BrowserHeaders.h"
#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/MapTilesAddresses.h"
#include "net/PushBack.h"
#include "net/ServiceAddresses.h"
#include "platform/Clock.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/PrintableText.h"
#include "platform/TextFile.h"
#include "platform/WorkOffMainThread.h"
#include "retry/FailedListTask.h"
#include "task/FailedList.h"

namespace korvane {

namespace {

constexpr const char* NoRecordsLine = "No failed files records.";
constexpr const char* StartLine = "Start...";
constexpr const char* EndLine = "Download End.";
constexpr const char* StoppedLine = "Download stopped by user.";
constexpr const char* OkSuffix = " ->OK";
constexpr const char* InvalidSuffix = ":Error: the image is invalid.";
constexpr const char* SkippedLineStart = "Line ";
constexpr const char* SkippedLineEnd = " skipped: not a tile of this list's task.";

// How the re-download gives up on the request of one line, after its line M + "->" + address.
struct RetryGiveUp {
  GiveUpLine Line;
  bool EndsRun = false;  // the service refuses this client: the rest of the list is not tried
};

// A connection reset is repeated at once; today's service pushing back is waited out as the
// download waits it out alone (backing off, or the wait it names; Stop cuts the pause short),
// and when it lasts the run ends, the list kept for later; every other failure is final.
const RepeatPolicy<RetryGiveUp>& RetryRepeats() {
  constexpr int Once = 1;
  constexpr Milliseconds AtOnce{0};
  static const RepeatPolicy<RetryGiveUp> table(
      {
          {{FailureKind::ConnectionReset},
           {1 + MaxResetRepeats, AtOnce, FailureLine::FinalOnly, {}}},
          {{FailureKind::Redirect, FailureKind::Forbidden},
           {Once, AtOnce, FailureLine::FinalOnly, {{BannedLine}, /*EndsRun=*/true}}},
          {{FailureKind::NotFound},
           {Once, AtOnce, FailureLine::FinalOnly, {{ImageNotFoundSuffix, /*AfterAddress=*/true}}}},
          // The Map Tiles API refuses the key, the API or billing: no other line does better.
          {{FailureKind::AccessRefused}, {Once, AtOnce, FailureLine::FinalOnly, {{}, true}}},
      },
      {Once, AtOnce, FailureLine::FinalOnly, {}},
      RepeatRule<RetryGiveUp>{PushBackAttempts,
                              PushBackFirstWait,
                              FailureLine::Never,
                              {{RefusingStart, false, RefusingRetryEnd}, /*EndsRun=*/true},
                              PushBackLongestWait});
  return table;
}

// One GET of address into a fresh body; a failed attempt leaves the body empty, so what it
// received never reaches the file. Only the client's own errors are failures of the request:
// anything else ends the run.
std::optional<RequestFailure> GetOnce(const HttpGetFunction& get, const std::string& address,
                                      std::string& body) {
  body.clear();
  try {
    get(address, body);
    return std::nullopt;
  } catch (const Exception&) {
    body.clear();
    return ClassifyFailure(std::current_exception());
  }
}

}  // namespace

RetrySession::RetrySession(RetryHost& host, TSynchronizer& synchronizer)
    : host_(host), synchronizer_(synchronizer) {}

RetryRunOutcome RetrySession::Run(const std::string& listPath) {
  const TStringList lines = LoadLines(listPath);
  if (lines.empty()) {
    AddLine(NoRecordsLine);
    return RetryRunOutcome::NoRecords;
  }
  AddLine(StartLine);
  fetched_ = 0;
  placeholders_ = 0;
  stored_ = 0;
  lineCount_ = static_cast<int>(lines.size());
  currentTileBase_ = TileBase() + "/";

  const FailedListTask task(listPath);
  HttpClient client;
  // The tiles go out with the headers their task's protocol was fetched with; today's service
  // answers a refusal with an HTML page, which is push-back, not a broken tile. A task of the
  // Map Tiles API is fetched with a session of its own and the key as it is now: the list holds
  // neither.
  const PanoramaProtocol protocol = task.Protocol().value_or(PanoramaProtocol::Classic);
  if (protocol == PanoramaProtocol::Classic) {
    SetBrowserHeaders(client);
  } else {
    SetCurrentBrowserHeaders(client);
  }
  std::optional<MapTilesAccess> mapTiles;
  if (protocol == PanoramaProtocol::MapTiles) mapTiles.emplace(MapTilesBase(), ReadApiKey());
  const HttpGetFunction get =
      mapTiles ? mapTiles->GetFunction(client, MapTilesRequest::Tile)
      : protocol == PanoramaProtocol::Current
          ? RefuseHtmlPages(client)
          : HttpGetFunction(
                [&client](const std::string& url, std::string& body) { client.Get(url, body); });
  StopSignal stop;
  try {
    ApplyProxySettings(ReadProxySettings(), client.Request);
  } catch (const EConvertError& error) {
    // Every request would fail alike: one line for the port, and the run is over.
    AddLine(error.Message());
    AddLine(EndLine);
    return RetryRunOutcome::Ended;
  }
  client_ = &client;
  stop_ = &stop;
  host_.FetchingChanged(true);
  struct FetchingEnd {
    RetrySession& session;
    ~FetchingEnd() {
      session.client_ = nullptr;
      session.stop_ = nullptr;
      session.host_.FetchingChanged(false);
    }
  } fetchingEnd{*this};
  RunOffMainThread(
      synchronizer_, [this](const std::function<bool()>& done) { host_.ServeUntil(done); },
      [&] {
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (client.IsAborted() ||
              !FetchLine(client, get, task, static_cast<int>(i) + 1, lines[i]))
            break;
        }
      });
  if (client.IsAborted()) {
    AddLine(StoppedLine);
    return RetryRunOutcome::Stopped;
  }
  if (MostlyPlaceholders(placeholders_, fetched_)) AddLine(RetiredPanoramaLine);
  if (mapTiles) AddLine(BillingLine(mapTiles->Counts()));
  AddLine(EndLine);
  return RetryRunOutcome::Ended;
}

void RetrySession::Stop() {
  if (stop_ != nullptr) stop_->Raise();
  if (client_ != nullptr) client_->Abort();
}

bool RetrySession::FetchLine(HttpClient& client, const HttpGetFunction& get,
                             const FailedListTask& task, int lineNumber, const std::string& line) {
  const FailedTile tile = SplitFailedLine(line);
  const std::optional<std::string> file = task.TileFileOf(tile);
  if (!file) {
    AddLine(SkippedLineStart + IntToStr(lineNumber) + SkippedLineEnd);
    return true;
  }
  // The list came from outside: its texts reach the lines only printable.
  const std::string address = PrintableText(tile.Address);
  std::string body;
  for (int attempt = 1;; ++attempt) {
    const std::optional<RequestFailure> failure = GetOnce(get, tile.Address, body);
    if (!failure) break;
    if (client.IsAborted()) return false;  // stopped: the tile did not fail
    const RepeatStep step = RetryRepeats().Judge(*failure, attempt);
    if (step.LineDue) AddLine(failure->Message.value_or("") + "->" + address);
    if (step.Repeat) {
      if (step.Pause > Milliseconds{0}) TheClock().SleepUnless(step.Pause, *stop_);
      if (client.IsAborted()) return false;
      continue;
    }
    const RetryGiveUp& giveUp = RetryRepeats().RuleFor(*failure).Final;
    if (giveUp.Line.Wanted())
      AddLine(giveUp.Line.For(address, PrintableText(failure->Message.value_or(""))));
    return !giveUp.EndsRun;
  }
  ++fetched_;
  // Today's service answers a retired panorama id with its placeholder: no tile, so nothing is
  // written and the tile stays wanting.
  if (tile.Address.rfind(currentTileBase_, 0) == 0 && IsPlaceholderAnswer(body)) {
    ++placeholders_;
    AddLine(PrintableText(tile.File) + ":" + address + PlaceholderLineEnd);
    return true;
  }
  // The same check as the download's: an answer that is no whole tile never replaces a file.
  if (DecodedJpegSize(body) != TaskTileSize) {
    AddLine(address + InvalidSuffix);
    return true;
  }
  WriteFileAtomically(*file, body);
  ++stored_;
  AddLine(PrintableText(tile.File) + ":" + address + OkSuffix);
  return true;
}

void RetrySession::AddLine(const std::string& line) {
  synchronizer_.Synchronize([this, &line] { host_.LineAdded(line); });
}

}  // namespace korvane
