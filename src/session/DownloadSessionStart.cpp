#include <exception>

#include "lookup/StartLookup.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/ScopedFlag.h"
#include "platform/WorkOffMainThread.h"
#include "session/DownloadSession.h"
#include "session/StartRules.h"
#include "settings/Config.h"
#include "task/TaskRunLock.h"

namespace korvane {

bool DownloadSession::Start(const StartRequest& request) {
  // The host's loop is served during the lookup, so a second Start (Enter) can arrive while
  // this one runs: it is ignored, as is a Start while a task runs.
  if (starting_ || Running()) return false;
  ScopedFlag startingGuard(starting_);
  return StartSequence(request);
}

bool DownloadSession::StartSequence(const StartRequest& request) {
  const ProxySettings proxy = ReadProxySettings();

  const int zoom = ConvertZoomText(request.Zoom);
  if (!IsValidZoom(zoom)) {
    host_.ShowMessage(ZoomRangeMessage);
    return false;
  }

  double longitude = 0;
  double latitude = 0;
  try {
    longitude = ConvertCoordinateText(request.Longitude);
    latitude = ConvertCoordinateText(request.Latitude);
  } catch (const std::exception&) {
    host_.ShowMessage(CoordinateInputErrorMessage);
    return false;
  }
  if (auto message = CheckCoordinateRanges(longitude, latitude)) {
    host_.ShowMessage(*message);
    return false;
  }

  const std::string protocolText = ServiceProtocolText();
  const std::optional<ServiceProtocol> protocol = ParseServiceProtocol(protocolText);
  if (!protocol) {
    host_.ShowMessage(UnknownProtocolMessage(protocolText));
    return false;
  }
  const std::optional<StartLookupResult> lookedUp = RunLookup(*protocol, latitude, longitude, zoom);
  if (!lookedUp) {
    AddLog(LookupStoppedLine);
    return false;
  }
  if (host_.Quitting()) return false;  // the program is going away
  const StartLookupResult& found = *lookedUp;
  const std::string& panoId = found.PanoId;
  AddLog("Pano_id got: " + panoId);
  if (panoId.empty()) {
    host_.ShowMessage(NoPanoramaMessage);
    return false;
  }
  if (!found.RefusalMessage.empty()) {
    host_.ShowMessage(found.RefusalMessage);
    return false;
  }
  if (!found.PanoramaLine.empty()) AddLog(found.PanoramaLine);

  const std::string& pathText = request.SavePath;
  if (pathText.empty()) {
    host_.ShowMessage(NoSavePathMessage);
    return false;
  }
  if (!DirectoryExists(pathText) && !CreateDir(pathText)) {
    host_.ShowMessage("Create directory " + pathText + " Failed.");
    return false;
  }
  const std::string savePath = IncludeTrailingPathDelimiter(pathText);
  const std::string taskFileName = TaskFileNameFor(request.TaskName);

  ResumeCandidate candidate;
  candidate.SavePath = savePath;
  candidate.TaskFileName = taskFileName;
  candidate.TypedLongitude = request.Longitude;
  candidate.TypedLatitude = request.Latitude;
  candidate.TypedZoom = request.Zoom;
  candidate.TypedPath = pathText;
  candidate.TypedTaskName = request.TaskName;
  candidate.PanoId = panoId;
  candidate.MapsType = found.MapsType;

  auto params = std::make_shared<TaskParameters>();
  params->Longitude = longitude;
  params->Latitude = latitude;
  params->PanoId = panoId;
  params->Zoom = zoom;
  params->ThreadCount = MaxThreadCount;
  found.ApplyTo(*params);
  params->SavePath = savePath;
  params->TaskFileName = taskFileName;
  params->UseProxy = proxy.UseProxy;
  params->ProxyServer = proxy.ProxyServer;
  params->ProxyPort = proxy.ProxyPort;
  params->ProxyUsername = proxy.ProxyUsername;
  params->ProxyPassword = proxy.ProxyPassword;
  params->ContinueTask = IsContinuedTask(candidate);

  std::unique_ptr<DownloadTask> task;
  std::unique_ptr<TaskRunLock> runLock;
  try {
    task = std::make_unique<DownloadTask>(params.get());
  } catch (const TileFolderError& error) {
    host_.ShowMessage(error.what());
    host_.ShowMessage(CreateTaskFailureMessage);
    return false;
  } catch (const std::exception&) {
    host_.ShowMessage(CreateTaskFailureMessage);
    return false;
  }
  // Before the first write: a second run of the task (another window, another process) would
  // write the same task file, log and tiles, and its saves would undo this run's.
  try {
    runLock = std::make_unique<TaskRunLock>(*task, request.TaskName);
  } catch (const Exception& error) {
    host_.ShowMessage(error.Message());
    return false;
  }
  task_ = std::move(task);
  runLock_ = std::move(runLock);
  params_ = params;
  if (task_->TotalCount < params->ThreadCount) params->ThreadCount = task_->TotalCount;
  runningWorkers_ = 0;

  task_->RemoveAbandonedWrites();
  // The task file last: once it stands, the task continues at its next start, and a
  // continued task needs its log and list (a run killed before them leaves a new task).
  task_->WriteLogHeader();
  task_->CreateFailedList();
  task_->SaveTaskFile();
  log_ = LoadLines(task_->LogFileName);
  host_.LogReplaced(log_);
  failed_ = LoadLines(task_->FailedFileName);
  host_.FailedListReplaced(failed_);

  host_.TaskStarted(task_->TotalCount);
  // The workers' synchronized calls wait until the host's handler has returned to its loop,
  // so runningWorkers_ reaches the full count before any WorkerDone lowers it.
  for (int i = 0; i < params->ThreadCount; ++i) {
    workers_[i] = std::make_unique<TileWorker>(false, i, task_.get(), *this, synchronizer_);
    ++runningWorkers_;
  }
  timerTicks_ = 0;
  return true;
}

std::optional<StartLookupResult> DownloadSession::RunLookup(ServiceProtocol protocol,
                                                            double latitude, double longitude,
                                                            int zoom) {
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
        found = LookUpForStart(protocol, client, latitude, longitude, zoom,
                               [this](const std::string& line) {
                                 synchronizer_.Synchronize([this, &line] { AddLog(line); });
                               });
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
