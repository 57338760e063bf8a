#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/HttpClient.h"
#include "ui/Controls.h"

namespace korvane {

// A request that the server answers with a connection reset is sent again at once, at most
// this many times per line; the failure after the last repeat counts like any other. Without a
// bound a server that resets every connection would hold the window (and the whole program,
// whose main thread runs the re-download) for ever.
inline constexpr int MaxResetRepeats = 30;

// How the last press of openListButton ended, for callers without a screen (korvane-cli).
enum class RetryRunOutcome {
  NotRun,     // no run since the window was made
  Cancelled,  // the file-open dialog was cancelled
  NoRecords,  // the list had no line: "No failed files records."
  Ended,      // the run reached "Download End." (a ban included)
  Stopped,    // Stop ended it: "Download stopped by user."
  Failed,     // an error ended it: the list could not be read or a tile file not written
};

// The re-download window: reads a failed-tile list (one "file|address" line per tile) and
// fetches every listed tile again, writing it to the file recorded in its line. The list is
// never changed. A run fetches one tile at a time on a thread of its own, on a client of its
// own with the browser headers and neither proxy nor cookies, while the window keeps serving
// its messages; the button stops the run while it fetches.
class RetryWindow : public TForm {
 public:
  explicit RetryWindow(TApplication& app);

  // Empties linesMemo each time the window is shown.
  void FormShow();
  // One run: asks for the list, then fetches its tiles, adding a line to linesMemo for each event.
  // Returns when the run is over. A click that arrives while the run fetches stops it.
  // Raises FileOpenError ("Cannot open file " + path) when the list cannot be read (nothing is
  // fetched) and FileCreateError ("Cannot create file " + path) when a tile file cannot be
  // written (the run ends there, without "Download End."). Every other failure of a request
  // becomes lines in linesMemo.
  void OpenListClick();

  // Stops the run in progress at once (its request in flight is aborted): it ends with
  // "Download stopped by user.". Nothing without a run.
  void Stop();

  bool Running() const { return running_; }
  RetryRunOutcome LastRunOutcome() const { return lastRunOutcome_; }

  // Runs after each line is added to linesMemo, with the line (korvane-cli prints them).
  std::function<void(const std::string& line)> OnLine;

  TPanel buttonPanel{this, "buttonPanel"};
  TButton openListButton{&buttonPanel, "openListButton", "Open *.ftl file and download..."};
  TPanel linesPanel{this, "linesPanel"};
  TMemo linesMemo{&linesPanel, "linesMemo"};
  TOpenDialog openListDialog{this, "openListDialog"};

 private:
  // The whole run after the list was chosen; returns how it ended (exceptions aside).
  RetryRunOutcome Run(const std::string& listPath);
  // Fetches and stores the tile of one line of the list; false when the service has banned
  // this client and the run must end.
  bool FetchLine(HttpClient& client, const std::string& line);
  // From the run's thread too: the line is added on the main thread.
  void AddLine(const std::string& line);

  bool running_ = false;
  HttpClient* client_ = nullptr;  // the run's client while it fetches
  RetryRunOutcome lastRunOutcome_ = RetryRunOutcome::NotRun;
};

}  // namespace korvane
