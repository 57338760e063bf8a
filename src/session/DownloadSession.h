#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "download/TileWorker.h"
#include "download/TileWorkerHost.h"
#include "lookup/StartLookup.h"
#include "net/HttpClient.h"
#include "platform/Synchronizer.h"
#include "platform/TextFile.h"
#include "session/SessionHost.h"
#include "session/StartRequest.h"
#include "session/StartSteps.h"
#include "task/DownloadTask.h"
#include "task/TaskParameters.h"
#include "task/TaskRunLock.h"

namespace korvane {

// The log line of a Start whose lookup was stopped.
inline constexpr const char* LookupStoppedLine = "Lookup stopped by user.";

// One download task from the press of Start to its end: the start rules, the panorama lookup,
// the task object and its files, the workers, stop, the periodic saves and the end sequence.
// It keeps the task's log and failed-tile list (the files are written from them) and reports
// everything to its host; it shows nothing itself.
//
// States: idle, starting (inside Start, whose lookup runs on a thread of its own while the
// host's loop is served), running (workers exist) and stopping (running, every worker asked to
// stop). Only Tick's end sequence returns a running session to idle. Main thread only; the
// workers and the lookup reach the session through the synchronizer, so its state needs no
// lock.
class DownloadSession : public TileWorkerHost {
 public:
  // Host and synchronizer must outlive the session.
  DownloadSession(SessionHost& host, TSynchronizer& synchronizer);
  // A session destroyed with workers running stops them and waits for their threads; their
  // lines are lost. Hosts end a running task first (StopAndFinish).
  ~DownloadSession() override;
  DownloadSession(const DownloadSession&) = delete;
  DownloadSession& operator=(const DownloadSession&) = delete;

  // The whole start sequence. A refusal (bad input, no panorama, no folder) goes to the host's
  // ShowMessage and leaves the session idle. A task file, log or list that cannot be written
  // or read raises (FileCreateError / FileOpenError) before any worker starts. Returns whether
  // the workers run. A call while the session is starting or running does nothing.
  bool Start(const StartRequest& request);

  // Asks every worker to stop (one log line each); the task then ends through Tick. During
  // Start's lookup: aborts its request, and Start ends with LookupStoppedLine in the log and
  // no message.
  void Stop();

  // The host's one-second clock tick while a task runs: every fourth tick saves the log, the
  // list and each worker's resume position; when no worker is left, runs the end sequence. A
  // task of today's protocols does not wait for the tick: its end sequence runs through the
  // host's CallSoon as soon as its last worker is done.
  void Tick();

  // For a host that goes away while a task runs: stops the workers, lets the host serve its
  // loop (ServeUntil) until they have ended, then runs the end sequence. quietly: no log lines
  // for the stop requests (the program is already being torn down).
  void StopAndFinish(bool quietly);

  bool Starting() const { return starting_; }
  // True from the creation of the workers until the end sequence has destroyed them.
  bool Running() const;
  // While the task runs, its progress so far; after its end, where it ended (kept until the next
  // start).
  SessionProgress Progress() const;

  // The last task started (kept after its end until the next start); null before the first.
  const DownloadTask* Task() const { return task_.get(); }
  const TStringList& LogLines() const { return log_; }
  // The requests the last task sent to the Map Tiles API (none for the other protocols).
  MapTilesRequestCounts MapTilesRequests() const {
    return mapTiles_ ? mapTiles_->Counts().Since(mapTilesBefore_) : MapTilesRequestCounts{};
  }
  const TStringList& FailedLines() const { return failed_; }

  // TileWorkerHost: run on the main thread inside a worker's synchronized call.
  void AddLogLine(const std::string& line) override;
  void AddFailedLine(const std::string& line) override;
  void WorkerDone() override;

 private:
  // Start's steps in their order; those that need neither the lookup nor the workers are in
  // StartSteps.h. Each returns false (or nothing) when the start ends there, after telling the
  // host why.
  bool StartSequence(const StartRequest& request);
  // The panorama at the checked place: nothing when the lookup was stopped (LookupStoppedLine
  // logged), the program is quitting, there is no panorama or it is refused. The lookup goes
  // through the start's proxy when that is on, as the workers' requests do.
  std::optional<StartLookupResult> LookUp(const CheckedStart& checked, const ProxySettings& proxy,
                                          const StartLookupHints& known);
  // Creates the task and takes its run lock; only then does the session take the task over.
  bool OpenTask(const std::shared_ptr<TaskParameters>& params, const std::string& typedTaskName);
  // Writes the task's files, tells the host the task started and starts its workers.
  void StartWorkers();
  // The lookup on its own thread, abortable by Stop through lookupClient_; nothing when
  // stopped.
  std::optional<StartLookupResult> RunLookup(const CheckedStart& checked,
                                             const ProxySettings& proxy,
                                             const StartLookupHints& known);
  void AddLog(std::string line);
  void TerminateWorkers(bool withLogLines);
  void SaveTaskState();
  // Puts the tiles stored without a flush of their own on the disk.
  void FlushTiles();
  void SaveWorkerPositions();
  void EndSequence();
  // Runs the end sequence when the task still runs and no worker is left.
  void EndWhenDone();
  // The workers take their tiles from one shared walk at an adaptive pace (today's protocols).
  bool SharesTiles() const { return shared_ != nullptr; }
  // For today's protocols: the shared walk and pace, and as many workers as requests may ever
  // be in flight (fewer for fewer tiles left).
  void PrepareSharedTiles();

  SessionHost& host_;
  TSynchronizer& synchronizer_;
  std::shared_ptr<TaskParameters> params_;
  std::unique_ptr<DownloadTask> task_;
  // Held from the start sequence's first write to the end of the end sequence.
  std::unique_ptr<TaskRunLock> runLock_;
  // Before the workers, which use them until their threads have ended.
  std::unique_ptr<SharedTileWalk> sharedWalk_;
  // The Map Tiles API's session and key of the last task's lookup, which its workers go on with.
  std::shared_ptr<MapTilesAccess> mapTiles_;
  MapTilesRequestCounts mapTilesBefore_;  // its counts before the task's lookup
  std::unique_ptr<AdaptiveConcurrency> pace_;
  std::unique_ptr<SharedTiles> shared_;
  std::vector<std::unique_ptr<TileWorker>> workers_;
  TStringList log_;
  TStringList failed_;
  HttpClient* lookupClient_ = nullptr;  // the lookup's client while it runs
  int runningWorkers_ = 0;
  int timerTicks_ = 0;
  SessionProgress endProgress_;
  bool starting_ = false;
  // Calls posted through CallSoon hold it weakly, so one that runs after the session is gone
  // does nothing.
  std::shared_ptr<DownloadSession*> alive_ = std::make_shared<DownloadSession*>(this);
};

}  // namespace korvane
