#pragma once

#include <functional>
#include <string>

#include "retry/RetryHost.h"
#include "retry/RetrySession.h"
#include "ui/Controls.h"

namespace korvane {

// The re-download window: picks a failed-tile list and runs the re-download over it
// (RetrySession), showing its lines in linesMemo. The window keeps serving its messages while
// the run fetches; the button stops the run meanwhile.
class RetryWindow : public TForm, private RetryHost {
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

  TPanel buttonPanel{this, "buttonPanel"};
  TButton openListButton{&buttonPanel, "openListButton", "Open *.ftl file and download..."};
  TPanel linesPanel{this, "linesPanel"};
  TMemo linesMemo{&linesPanel, "linesMemo"};
  TOpenDialog openListDialog{this, "openListDialog"};

 private:
  // RetryHost
  void LineAdded(const std::string& line) override;
  void ServeUntil(const std::function<bool()>& done) override;
  void FetchingChanged(bool fetching) override;

  RetrySession session_;
  bool running_ = false;
  std::string idleCaption_;  // the button's caption before the run turned it into Stop
  RetryRunOutcome lastRunOutcome_ = RetryRunOutcome::NotRun;
};

}  // namespace korvane
