#include "lookup/ClassicLookup.h"
#include "main/MainWindow.h"
#include "main/StartRules.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/ScopedFlag.h"
#include "settings/Config.h"

namespace korvane {

void MainWindow::StartStopClick() {
  if (startStopButton.Caption() == "Start") {
    StartSequence();
  } else {
    StopSequence();
  }
}

void MainWindow::StartSequence() {
  // The lookup lets the window process its messages, so a second press of Start (or Enter)
  // can arrive while this one runs: it is ignored.
  if (starting_) return;
  ScopedFlag startingGuard(starting_);

  const ProxySettings proxy = ReadProxySettings();

  const int zoom = ConvertZoomText(zoomEdit.Text());
  if (!IsValidZoom(zoom)) {
    App().ShowMessage(ZoomRangeMessage);
    return;
  }

  double longitude = 0;
  double latitude = 0;
  try {
    longitude = ConvertCoordinateText(longitudeEdit.Text());
    latitude = ConvertCoordinateText(latitudeEdit.Text());
  } catch (const std::exception&) {
    App().ShowMessage(CoordinateInputErrorMessage);
    return;
  }
  if (auto message = CheckCoordinateRanges(longitude, latitude)) {
    App().ShowMessage(*message);
    return;
  }

  const std::string panoId = LookUpPanorama(
      latitude, longitude, [this](const std::string& line) { logMemo.Lines.Add(line); },
      [this] { App().ProcessMessages(); });
  if (App().Terminated()) return;  // the window was closed during the lookup
  logMemo.Lines.Add("Pano_id got: " + panoId);
  if (panoId.empty()) {
    App().ShowMessage(NoPanoramaMessage);
    return;
  }

  const std::string pathText = savePathEdit.Text();
  if (pathText.empty()) {
    App().ShowMessage(NoSavePathMessage);
    return;
  }
  if (!DirectoryExists(pathText) && !CreateDir(pathText)) {
    App().ShowMessage("Create directory " + pathText + " Failed.");
    return;
  }
  const std::string savePath = IncludeTrailingPathDelimiter(pathText);

  RunningWorkers = 0;
  int threadCount = MaxThreadCount;

  const std::string taskFileName = TaskFileNameFor(taskNameEdit.Text());

  ResumeCandidate candidate;
  candidate.SavePath = savePath;
  candidate.TaskFileName = taskFileName;
  candidate.TypedLongitude = longitudeEdit.Text();
  candidate.TypedLatitude = latitudeEdit.Text();
  candidate.TypedZoom = zoomEdit.Text();
  candidate.TypedPath = pathText;
  candidate.TypedTaskName = taskNameEdit.Text();
  candidate.PanoId = panoId;
  const bool continueTask = IsContinuedTask(candidate);

  auto params = std::make_shared<TaskParameters>();
  params->Longitude = longitude;
  params->Latitude = latitude;
  params->PanoId = panoId;
  params->Zoom = zoom;
  params->ThreadCount = threadCount;
  params->MapsType = StreetViewMapsType;
  params->SavePath = savePath;
  params->TaskFileName = taskFileName;
  params->UseProxy = proxy.UseProxy;
  params->ProxyServer = proxy.ProxyServer;
  params->ProxyPort = proxy.ProxyPort;
  params->ProxyUsername = proxy.ProxyUsername;
  params->ProxyPassword = proxy.ProxyPassword;
  params->ContinueTask = continueTask;
  CurrentParams = params;

  std::unique_ptr<DownloadTask> task;
  try {
    task = std::make_unique<DownloadTask>(
        params.get(), [this](const std::string& text) { App().ShowMessage(text); });
  } catch (const std::exception&) {
    App().ShowMessage(CreateTaskFailureMessage);
    return;
  }
  CurrentTask = std::move(task);
  currentTaskParams_ = params;

  if (CurrentTask->TotalCount < threadCount) threadCount = CurrentTask->TotalCount;
  params->ThreadCount = threadCount;

  // A task file, log or list that cannot be written or read ends the start here; the
  // application's error box shows why.
  CurrentTask->SaveTaskFile();
  CurrentTask->WriteLogHeader();
  CurrentTask->CreateFailedList();

  logMemo.Lines.LoadFromFile(CurrentTask->LogFileName);
  failedListMemo.Lines.LoadFromFile(CurrentTask->FailedFileName);

  totalTilesLabel.SetCaption("Total images: " + IntToStr(CurrentTask->TotalCount));
  startStopButton.SetCaption("Stop");

  // The workers' main-thread calls wait until this handler has returned to the loop, so
  // RunningWorkers reaches the full count before any WorkerDone lowers it.
  for (int i = 0; i < threadCount; ++i) {
    Workers[i] = std::make_unique<TileWorker>(false, i, CurrentTask.get(), *this, App());
    ++RunningWorkers;
  }

  progressTimer.SetEnabled(true);
  TimerTicks = 0;
}

void MainWindow::StopSequence() {
  if (!CurrentTask) return;
  for (int i = 0; i < CurrentTask->Params->ThreadCount; ++i) {
    if (Workers[i]) Workers[i]->Terminate();
    logMemo.Lines.Add("Thread" + IntToStr(i + 1) + "will be terminated by user. please wait...");
  }
}

}  // namespace korvane
