#include "download/FetchTile.h"

#include <exception>
#include <optional>

#include "download/DownloadLimits.h"
#include "download/JpegCheck.h"
#include "download/Placeholder.h"
#include "download/TileFailure.h"
#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "net/RepeatPolicy.h"
#include "platform/Clock.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "task/FailedList.h"

namespace korvane {
namespace {

constexpr const char* NetworkLine = "Error: Your network has problem, please check it.";
constexpr const char* InvalidExtension = ".invalid";
constexpr const char* CrashedExtension = ".crashed";

bool StartsWithJpegMarker(const std::string& bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xD8;
}

class TileFetch {
 public:
  TileFetch(TileFetchWorker& worker, int x, int y, int k)
      : worker_(worker),
        x_(x),
        y_(y),
        k_(k),
        workerName_("T" + IntToStr(worker.Number)),
        current_(IsTodaysProtocol(worker.Task.Params->Protocol)),
        repeats_(TileRepeats(worker.Task.Params->Protocol)),
        url_(worker.Task.GetTileUrl(x, y)),
        path_(worker.Task.GetTileFilePath(x, y)),
        name_(worker.Task.GetTileFileName(x, y)) {}

  // A tile that cannot be stored (a full disk, a vanished folder) is listed, unless its give-up
  // listed it already, so that a re-download fetches it once the disk has room; the worker then
  // ends with the error's line.
  TileOutcome Run() {
    try {
      return Attempts();
    } catch (const FileCreateError&) {
      if (!listed_) FailedLine();
      throw;
    }
  }

 private:
  TileOutcome Attempts() {
    std::string response;
    int attempt = 0;
    for (;;) {
      ++attempt;
      if (auto failure = TryGet(worker_.Get, url_, response)) {
        // A stop cuts the request short (or came during it): the tile is left for the next
        // run, with no failure line and no substitute.
        if (worker_.Stopped()) return TileOutcome::Interrupted;
        // The shared pace of today's protocol slows every worker down, not just this tile.
        if (failure->PushBack && worker_.PushedBack) {
          if (!worker_.PushedBack(failure->RetryAfter.value_or(Milliseconds{0})))
            return TileOutcome::HandedBack;
          Log(RefusingLine(failure->Message.value_or("")));
          return TileOutcome::StopWorker;
        }
        const RepeatStep step = repeats_.Judge(*failure, attempt);
        if (step.LineDue) Log(FailureLine(*failure));
        if (step.Repeat) {
          worker_.Pause(step.Pause);
          if (worker_.Stopped()) return TileOutcome::Interrupted;
          continue;
        }
        return GiveUp(repeats_.RuleFor(*failure).Final, *failure);
      }

      if (!StartsWithJpegMarker(response)) return Invalid(response);
      if (current_ && IsPlaceholderAnswer(response)) return Placeholder();
      // Checked before it is stored: a damaged answer never stands under the tile's name, where
      // a continuation would take it for a finished tile.
      if (const std::optional<JpegSize> size = DecodedJpegSize(response)) {
        // A whole picture of another size is no tile of this task: asking again gives the same.
        if (*size != TaskTileSize) return Invalid(response);
        // Today's tiles are flushed together by the session (a flush per tile would cost
        // about as much as fetching it); the classic protocol's pause leaves time for its own.
        WriteFileAtomically(path_, response, NewFileAccess::Shared,
                            current_ ? FileFlush::Later : FileFlush::Now);
        Log(workerName_ + ":seq=" + IntToStr(k_) + "," + name_ + " OK");
        return TileOutcome::Saved;
      }
      Log("crashed image->" + url_);
      if (attempt <= CrashedImageRetryLimit) {
        worker_.Pause(CrashedImageWait);
        if (worker_.Stopped()) return TileOutcome::Interrupted;
        continue;
      }
      return Crashed(response);
    }
  }

  // After the failure line of the table, when it has one.
  TileOutcome GiveUp(TileFailureKind kind, const RequestFailure& failure) {
    switch (kind) {
      case TileFailureKind::ConnectionReset:
      case TileFailureKind::AddressInUse:
      case TileFailureKind::Other:
        break;
      case TileFailureKind::Refused:
      case TileFailureKind::NetworkDown:
        FailedLine();
        Log(kind == TileFailureKind::Refused ? BannedLine : NetworkLine);
        return TileOutcome::StopWorker;
      case TileFailureKind::PushBack:
        // Not the tile's fault: no failed-list line and no substitute, the tile stays for the
        // continuation.
        Log(RefusingLine(failure.Message.value_or("")));
        return TileOutcome::StopWorker;
      case TileFailureKind::AccessRefused:
        // Not the tile's fault either, and no other tile can do better: the line is the
        // service's own.
        if (failure.Message) Log(*failure.Message);
        return TileOutcome::StopWorker;
      case TileFailureKind::NotFound:
        // Final: the tile does not exist, so it gets no failed-list entry to fetch it again.
        Log(ImageNotFoundText + *failure.Message);
        return Substitute(/*overwrite=*/false);
      case TileFailureKind::Untexted:
        Log(name_ + ":failed ->" + url_);
        break;
    }
    FailedLine();
    return Substitute(/*overwrite=*/false);
  }

  // The placeholder is no tile: nothing is written (an earlier run's file stays), and the list
  // brings the tile back to a re-download.
  TileOutcome Placeholder() {
    FailedLine();
    Log(TileText() + PlaceholderLineEnd);
    return TileOutcome::Placeholder;
  }

  // An answer that is no JPEG at all is never requested again.
  TileOutcome Invalid(const std::string& response) {
    Log("failed ->" + url_);
    FailedLine();
    WriteFileAtomically(path_ + InvalidExtension, response);
    CopySubstitute(/*overwrite=*/true);
    Log(TileText() + " got a invalid image!");
    return TileOutcome::Substituted;
  }

  TileOutcome Crashed(const std::string& response) {
    FailedLine();
    WriteFileAtomically(path_ + CrashedExtension, response);
    // Overwrites a tile file of an earlier run as an invalid answer does.
    CopySubstitute(/*overwrite=*/true);
    Log(TileText() + " got a crashed image!");
    return TileOutcome::Substituted;
  }

  TileOutcome Substitute(bool overwrite) {
    CopySubstitute(overwrite);
    Log(TileText() + " got a blank image!");
    return TileOutcome::Substituted;
  }

  // Without overwrite, a file already at the path (a tile of an earlier run) is kept. A
  // substitute image missing from the installation goes unnoticed (the tile's lines still
  // name it blank), but a tile path that cannot be written is a failure of the tile folder
  // and is raised, so the worker reports it instead of claiming a substitute it never wrote.
  void CopySubstitute(bool overwrite) {
    if (CopyFile(worker_.BlankImagePath, path_, /*failIfExists=*/!overwrite)) return;
    if (!overwrite && FileExists(path_)) return;
    if (!FileExists(worker_.BlankImagePath)) return;
    throw FileCreateError::ForPath(path_);
  }

  std::string FailureLine(const RequestFailure& failure) const {
    return workerName_ + " " + failure.Message.value_or("") + "->" + url_;
  }
  std::string TileText() const { return workerName_ + ":" + IntToStr(x_) + "-" + IntToStr(y_); }
  void Log(const std::string& line) { worker_.AddLogLine(line); }
  void FailedLine() {
    worker_.AddFailedLine(korvane::FailedLine(path_, url_));
    listed_ = true;
  }

  TileFetchWorker& worker_;
  const int x_;
  const int y_;
  const int k_;
  const std::string workerName_;
  const bool current_;  // today's protocol: placeholders are recognised
  const RepeatPolicy<TileFailureKind>& repeats_;
  const std::string url_;
  const std::string path_;
  const std::string name_;
  bool listed_ = false;  // the tile's failed-list line went out
};

}  // namespace

void TileFetchWorker::Pause(Milliseconds nominal) const {
  if (Stop != nullptr) {
    TheClock().SleepUnless(nominal, *Stop);
  } else {
    TheClock().Sleep(nominal);
  }
}

TileOutcome FetchTile(TileFetchWorker& worker, int x, int y, int k) {
  return TileFetch(worker, x, y, k).Run();
}

}  // namespace korvane
