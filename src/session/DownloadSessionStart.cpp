#include <algorithm>

#include "config/ProxyRequests.h"
#include "platform/ScopedFlag.h"
#include "platform/WorkOffMainThread.h"
#include "session/DownloadSession.h"
#include "session/StartRules.h"
#include "session/StartSteps.h"
#include "task/TaskRunLock.h"

namespace korvane {

bool DownloadSession::Start(const StartRequest& request) {
  // The host's loop is served during the lookup, so a second Start (Enter) can arrive while
  // this one runs: it is ignored, as is a Start while a task runs.
  if (starting_ || Running()) return false;
  ScopedFlag startingGuard(starting_);
  return StartSequence(request);
}

// validate -> look up -> build parameters -> open task -> start workers. A step that refuses
// has told the host why; until OpenTask succeeds the session holds no part of the new task.
bool DownloadSession::StartSequence(const StartRequest& request) {
  const std::optional<CheckedStart> checked = CheckStartInput(request, host_);
  if (!checked) return false;
  // A batch's session counted requests before this start: the task's line counts its own.
  const MapTilesRequestCounts before =
      request.Known.MapTiles ? request.Known.MapTiles->Counts() : MapTilesRequestCounts{};
  const std::optional<StartLookupResult> found =
      LookUp(*checked, request.Service.Proxy, request.Known);
  if (!found) return false;
  const std::shared_ptr<TaskParameters> params =
      BuildTaskParameters(request, *checked, *found, host_);
  if (!params) return false;
  mapTiles_ = found->MapTiles;
  mapTilesBefore_ = before;
  if (!OpenTask(params, request.TaskName)) return false;
  StartWorkers();
  return true;
}

std::optional<StartLookupResult> DownloadSession::LookUp(const CheckedStart& checked,
                                                         const ProxySettings& proxy,
                                                         const StartLookupHints& known) {
  std::optional<StartLookupResult> found = RunLookup(checked, proxy, known);
  if (!found) {
    AddLog(LookupStoppedLine);
    return std::nullopt;
  }
  if (host_.Quitting()) return std::nullopt;  // the program is going away
  if (found->Refused) return std::nullopt;    // the service's one line says why
  // Refused before any panorama was asked for (an id the protocol cannot look up).
  if (found->PanoId.empty() && !found->RefusalMessage.empty()) {
    host_.ShowMessage(found->RefusalMessage);
    return std::nullopt;
  }
  AddLog("Pano_id got: " + found->PanoId);
  if (found->PanoId.empty()) {
    host_.ShowMessage(NoPanoramaMessage);
    return std::nullopt;
  }
  if (!found->RefusalMessage.empty()) {
    host_.ShowMessage(found->RefusalMessage);
    return std::nullopt;
  }
  if (!found->PanoramaLine.empty()) AddLog(found->PanoramaLine);
  return found;
}

bool DownloadSession::OpenTask(const std::shared_ptr<TaskParameters>& params,
                               const std::string& typedTaskName) {
  std::unique_ptr<DownloadTask> task =
      CreateTask(*params, host_, [this](const std::string& line) { AddLog(line); });
  if (!task) return false;
  // Before the first write: a second run of the task (another window, another process) would
  // write the same task file, log and tiles, and its saves would undo this run's.
  std::unique_ptr<TaskRunLock> runLock;
  try {
    runLock = std::make_unique<TaskRunLock>(*task, typedTaskName);
  } catch (const Exception& error) {
    host_.ShowMessage(error.Message());
    return false;
  }
  task_ = std::move(task);
  runLock_ = std::move(runLock);
  params_ = params;
  if (task_->Grid().TotalCount() < params_->ThreadCount)
    params_->ThreadCount = task_->Grid().TotalCount();
  PrepareSharedTiles();
  runningWorkers_ = 0;
  return true;
}

void DownloadSession::PrepareSharedTiles() {
  workers_.clear();
  shared_.reset();
  pace_.reset();
  sharedWalk_.reset();
  if (params_->Protocol == PanoramaProtocol::Classic) {
    workers_.resize(MaxThreadCount);
    return;
  }
  const DownloadTask& task = *task_;
  sharedWalk_ = std::make_unique<SharedTileWalk>(
      task.Grid(), [&task](const WalkStep& step) { return FinishedInEarlierRun(task, step); });
  pace_ = std::make_unique<AdaptiveConcurrency>(params_->Connections, MaxConnections);
  shared_ = std::make_unique<SharedTiles>(SharedTiles{*sharedWalk_, *pace_, mapTiles_.get()});
  // At least one worker, so that a task with nothing left still ends through its end sequence.
  const int left = task.Grid().TotalCount() - sharedWalk_->FinishedEarlier();
  params_->ThreadCount = std::max(1, std::min(MaxConnections, left));
  workers_.resize(static_cast<std::size_t>(params_->ThreadCount));
}

void DownloadSession::StartWorkers() {
  task_->RemoveAbandonedWrites();
  // The task file last: once it stands, the task continues at its next start, and a
  // continued task needs its log and list (a run killed before them leaves a new task).
  task_->WriteLogHeader();
  task_->CreateFailedList();
  task_->SaveTaskFile();
  WriteTaskRecord(*task_, *params_, [this](const std::string& line) { AddLog(line); });
  log_ = LoadLines(task_->LogFileName);
  host_.LogReplaced(log_);
  // After the log is replaced by the task's, so the window keeps them and the log file saves
  // them.
  for (const OtherCapture& capture : params_->Record.OtherDates)
    AddLog(OtherDateLine(capture));
  failed_ = LoadLines(task_->FailedFileName);
  host_.FailedListReplaced(failed_);

  host_.TaskStarted(task_->Grid().TotalCount());
  // The workers' synchronized calls wait until the host's handler has returned to its loop,
  // so runningWorkers_ reaches the full count before any WorkerDone lowers it.
  for (int i = 0; i < params_->ThreadCount; ++i) {
    workers_[i] =
        std::make_unique<TileWorker>(false, i, task_.get(), *this, synchronizer_, shared_.get());
    ++runningWorkers_;
  }
  timerTicks_ = 0;
}

std::optional<StartLookupResult> DownloadSession::RunLookup(const CheckedStart& checked,
                                                            const ProxySettings& proxy,
                                                            const StartLookupHints& known) {
  HttpClient client;
  lookupClient_ = &client;
  host_.LookupRunning(true);
  struct LookupEnd {
    DownloadSession& session;
    ~LookupEnd() {
      session.lookupClient_ = nullptr;
      session.host_.LookupRunning(false);
    }
  } lookupEnd{*this};

  StartLookupResult found;
  RunOffMainThread(
      synchronizer_, [this](const std::function<bool()>& done) { host_.ServeUntil(done); },
      [&] {
        const auto addLogLine = [this](const std::string& line) {
          synchronizer_.Synchronize([this, &line] { AddLog(line); });
        };
        try {
          ApplyProxySettings(proxy, client.Request);
        } catch (const EConvertError& error) {
          // The workers would each stop on the same port; the lookup finds nothing instead.
          addLogLine(error.Message());
          return;
        }
        found = LookUpForStart(checked.Protocol, client, checked.Latitude, checked.Longitude,
                               checked.Zoom, addLogLine, checked.Wish, known);
      });
  if (client.IsAborted()) return std::nullopt;
  return found;
}

void DownloadSession::Stop() {
  if (lookupClient_ != nullptr) {
    lookupClient_->Abort();
    return;
  }
  if (!Running()) return;
  TerminateWorkers(true);
}

}  // namespace korvane
