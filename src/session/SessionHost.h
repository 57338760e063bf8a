#pragma once

#include <exception>
#include <functional>
#include <string>

#include "platform/TextFile.h"
#include "session/SessionProgress.h"

namespace korvane {

// What a download session tells whoever shows it (a window, the command line, a batch). Every
// call comes on the main thread. The session never shows anything itself: a host turns the
// messages into boxes, lines on a terminal or entries of a summary.
class SessionHost {
 public:
  virtual ~SessionHost() = default;

  // The log's whole content changed (Start loads the task's log file); then one line at a time.
  virtual void LogReplaced(const TStringList& lines) = 0;
  virtual void LogLineAdded(const std::string& line) = 0;
  // The same for the failed-tile list.
  virtual void FailedListReplaced(const TStringList& lines) = 0;
  virtual void FailedLineAdded(const std::string& line) = 0;

  // A refusal or failure of Start, or any other message a user must acknowledge; the texts are
  // those of the program's message boxes.
  virtual void ShowMessage(const std::string& text) = 0;
  // The workers run: totalTiles is the grid's tile count.
  virtual void TaskStarted(int totalTiles) = 0;
  // Once per clock tick while the task runs.
  virtual void ProgressChanged(const SessionProgress& progress) { (void)progress; }
  // The end sequence has saved everything and the workers are gone. error: the first failure
  // the end sequence met (a file it could not write), null when none; the task ended anyway.
  virtual void TaskEnded(const std::exception* error) = 0;

  // The lookup runs on a thread of its own while the session serves the host's loop until
  // done is true (the lookup's lines and its end arrive through the synchronizer), so a stop
  // request can reach it. Quitting tells the session that the program is going away (it then
  // starts nothing).
  virtual void ServeUntil(const std::function<bool()>& done) = 0;
  virtual bool Quitting() const = 0;
  // The lookup began (running) or ended: Stop now stops it (a window offers its Stop button).
  virtual void LookupRunning(bool running) { (void)running; }
  // Runs call on the main thread once the handler now running has returned to the loop. The
  // session ends a task of today's protocols this way as soon as its last worker is done; a host
  // that does not (the default drops the call) has such a task end at its next clock tick.
  virtual void CallSoon(std::function<void()> call) { (void)call; }
};

}  // namespace korvane
