#include "retry/RetrySession.h"

#include <exception>
#include <optional>

#include "config/Config.h"
#include "config/ProxyRequests.h"
#include "download/JpegCheck.h"
#include "download/Placeholder.h"
#include "maptiles/MapTilesAccess.h"
#include "net/BrowserHeaders.h"
#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "net/HttpClient.h"
#include "net/MapTilesAddresses.h"
#include "net/ServiceAddresses.h"
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

// Only a connection reset is repeated, at once; every other failure is final. The run has no
// pauses: a rule with one would need a pause that Stop cuts short.
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
      {Once, AtOnce, FailureLine::FinalOnly, {}});
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
  currentTileBase_ = TileBase() + "/";

  const FailedListTask task(listPath);
  HttpClient client;
  SetBrowserHeaders(client);
  // A task of the Map Tiles API is fetched with a session of its own and the key as it is
  // now: the list holds neither.
  std::optional<MapTilesAccess> mapTiles;
  if (task.Protocol() == PanoramaProtocol::MapTiles) mapTiles.emplace(MapTilesBase(), ReadApiKey());
  get_ = mapTiles ? mapTiles->GetFunction(client, MapTilesRequest::Tile)
                  : HttpGetFunction([&client](const std::string& url, std::string& body) {
                      client.Get(url, body);
                    });
  try {
    ApplyProxySettings(ReadProxySettings(), client.Request);
  } catch (const EConvertError& error) {
    // Every request would fail alike: one line for the port, and the run is over.
    AddLine(error.Message());
    AddLine(EndLine);
    return RetryRunOutcome::Ended;
  }
  client_ = &client;
  host_.FetchingChanged(true);
  struct FetchingEnd {
    RetrySession& session;
    ~FetchingEnd() {
      session.client_ = nullptr;
      session.get_ = nullptr;
      session.host_.FetchingChanged(false);
    }
  } fetchingEnd{*this};
  RunOffMainThread(
      synchronizer_, [this](const std::function<bool()>& done) { host_.ServeUntil(done); },
      [&] {
        for (std::size_t i = 0; i < lines.size(); ++i) {
          if (client.IsAborted() || !FetchLine(client, task, static_cast<int>(i) + 1, lines[i]))
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
  if (client_ != nullptr) client_->Abort();
}

bool RetrySession::FetchLine(HttpClient& client, const FailedListTask& task, int lineNumber,
                             const std::string& line) {
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
    const std::optional<RequestFailure> failure = GetOnce(get_, tile.Address, body);
    if (!failure) break;
    if (client.IsAborted()) return false;  // stopped: the tile did not fail
    const RepeatStep step = RetryRepeats().Judge(*failure, attempt);
    if (step.LineDue) AddLine(failure->Message.value_or("") + "->" + address);
    if (step.Repeat) continue;
    const RetryGiveUp& giveUp = RetryRepeats().RuleFor(*failure).Final;
    if (giveUp.Line.Wanted()) AddLine(giveUp.Line.For(address));
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
  AddLine(PrintableText(tile.File) + ":" + address + OkSuffix);
  return true;
}

void RetrySession::AddLine(const std::string& line) {
  synchronizer_.Synchronize([this, &line] { host_.LineAdded(line); });
}

}  // namespace korvane
