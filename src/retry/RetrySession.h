#pragma once

#include <string>

#include "net/FailureKind.h"
#include "net/RepeatPolicy.h"
#include "platform/StopSignal.h"
#include "platform/Synchronizer.h"
#include "retry/RetryHost.h"

namespace korvane {

class FailedListTask;
class HttpClient;

// A request that the server answers with a connection reset is sent again at once, at most
// this many times per line; the failure after the last repeat counts like any other. Without a
// bound a server that resets every connection would hold the run for ever.
inline constexpr int MaxResetRepeats = PassingFailureAttempts;

// How a re-download run ended.
enum class RetryRunOutcome {
  NotRun,     // no run yet (a window since it was made)
  Cancelled,  // the file-open dialog was cancelled
  NoRecords,  // the list had no line: "No failed files records."
  Ended,      // the run reached "Download End." (a ban included)
  Stopped,    // Stop ended it: "Download stopped by user."
  Failed,     // an error ended it: the list could not be read or a tile file not written
};

// The re-download of failed tiles: reads a failed-tile list (one "file|address" line per tile)
// and fetches every listed tile again, writing it to the file recorded in its line. Only lines
// that name a tile of the list's own task at the task's own address are fetched
// (FailedListTask); any other line is reported by its number and skipped, and an answer that is
// no whole tile (the download's JPEG check) is reported and not written. The list is never
// changed. A tile of today's service answered with its blank placeholder gets the line
// file + ":" + address + PlaceholderLineEnd and no file; when most answers of a run are
// placeholders, RetiredPanoramaLine comes before "Download End.". When today's service pushes
// back the tile is asked again after a back-off, and after PushBackAttempts refusals the run
// ends with the refusing line (the list unchanged). A run fetches one tile at a
// time on a thread of its own, on a client of its own with the browser headers of the task's
// protocol, no cookies, and
// the configuration's proxy as it is when the run starts (when UseProxy is on; a port that is not
// a number ends the run after its line), while the host serves its loop; Stop ends it at once.
// Main thread only; the fetching thread reaches the host through the synchronizer.
class RetrySession {
 public:
  // Host and synchronizer must outlive the session.
  RetrySession(RetryHost& host, TSynchronizer& synchronizer);
  RetrySession(const RetrySession&) = delete;
  RetrySession& operator=(const RetrySession&) = delete;

  // One run over the list at listPath, a line to the host for each event. Returns when the run
  // is over, with NoRecords, Ended or Stopped. Raises FileOpenError ("Cannot open file " + path)
  // when the list cannot be read (nothing is fetched) and FileCreateError ("Cannot create file "
  // + path) when a tile file cannot be written (the run ends there, without "Download End.").
  // Every other failure of a request becomes lines.
  RetryRunOutcome Run(const std::string& listPath);

  // Stops the run in progress at once (its request in flight is aborted): it ends with
  // "Download stopped by user.". Nothing without a run.
  void Stop();

  // Whether the last run stored a tile for every line of its list (a list with no line
  // included): only then has the re-download nothing left to do.
  bool EveryLineStored() const { return stored_ == lineCount_; }

 private:
  // Fetches and stores the tile of line lineNumber (1-based) of the list; false when the run
  // must end (the service has banned this client, or Stop).
  bool FetchLine(HttpClient& client, const HttpGetFunction& get, const FailedListTask& task,
                 int lineNumber, const std::string& line);
  // From the fetching thread too: the line reaches the host on the main thread.
  void AddLine(const std::string& line);

  RetryHost& host_;
  TSynchronizer& synchronizer_;
  HttpClient* client_ = nullptr;  // the run's client while it fetches
  StopSignal* stop_ = nullptr;    // raised by Stop: ends the run's pauses
  // Of the run's lines, those answered, and of them the placeholders of today's service (whose
  // tile addresses start with currentTileBase_); the fetching thread's alone during the run.
  int fetched_ = 0;
  int placeholders_ = 0;
  int stored_ = 0;
  int lineCount_ = 0;
  std::string currentTileBase_;
};

}  // namespace korvane
