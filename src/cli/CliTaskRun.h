#pragma once

#include <functional>
#include <mutex>
#include <ostream>

#include "cli/ProgressLine.h"
#include "maptiles/MapTilesAccess.h"
#include "platform/ExitStatus.h"
#include "session/StartRequest.h"
#include "ui/TApplication.h"

namespace korvane {

// Lets the signal watcher reach the application only while a run listens. A signal that comes
// while nobody listens (between two tasks of a batch) is kept for the next listener, so it
// stops the next task instead of being lost.
class SignalTarget {
 public:
  void Set(TApplication* app, std::function<void()> pressStop);
  // From the watcher's thread: queues the stop press on the main thread.
  void Signalled();

 private:
  std::mutex mutex_;
  TApplication* app_ = nullptr;
  std::function<void()> pressStop_;
  bool pending_ = false;
};

// A run that listens to the signals for its life.
class SignalListening {
 public:
  SignalListening(SignalTarget& target, TApplication& app, std::function<void()> pressStop)
      : target_(target) {
    target_.Set(&app, std::move(pressStop));
  }
  ~SignalListening() { target_.Set(nullptr, nullptr); }
  SignalListening(const SignalListening&) = delete;
  SignalListening& operator=(const SignalListening&) = delete;

 private:
  SignalTarget& target_;
};

// How one task run from the command line ended.
struct CliTaskOutcome {
  bool Started = false;        // the workers ran (else Start ended with a message or error)
  bool Ended = false;          // the end sequence ran
  bool StopRequested = false;  // a signal asked for the stop
  int Total = 0;               // the task's tile count, once started
  int Failed = 0;              // lines of its failed-tile list at the end
  int Done = 0;                // tiles finished at the end, by this run and earlier ones
  int Substituted = 0;         // tiles of this run that have a substitute in their place
  int StillWanting = 0;        // listed tiles still missing or substituted at the end
  std::string PanoId;          // the panorama looked up, once started
  std::string TaskFilePath;    // the task's file, once started
  // What the task sent to the Map Tiles API, once started (its lookup included).
  MapTilesRequestCounts MapTilesRequests;

  // Every tile of the task is in: it ended by itself with each tile fetched, none substituted
  // now, and none of its failed-tile list still missing or substituted (a re-download may have
  // fetched those since).
  bool Complete() const {
    return Ended && !StopRequested && Done == Total && StillWanting == 0 && Substituted == 0;
  }
  // For a script: Error when the task did not start or end, Incomplete when it ended with work
  // left (a stop, failed or substituted tiles), Complete when every tile is in.
  ExitStatus Status() const;
};

// One task as the main window's Start runs it, with the log on out and the boxes through the
// application's dialogs; SIGINT/SIGTERM (through signals) press Stop. Returns when the task has
// ended, or at once when it did not start. progress (may be null) shows the count while the
// task runs. Main thread only.
CliTaskOutcome RunCliTask(const StartRequest& request, TApplication& app, SignalTarget& signals,
                          std::ostream& out, ProgressLine* progress = nullptr);

}  // namespace korvane
