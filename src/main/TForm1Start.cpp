#include "main/GetPanoId.h"
#include "main/StartRules.h"
#include "main/TForm1.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/ScopedFlag.h"
#include "settings/Config.h"

namespace korvane {

void TForm1::BitBtn1Click() {
  if (BitBtn1.Caption() == "Start") {
    StartSequence();
  } else {
    StopSequence();
  }
}

void TForm1::StartSequence() {
  // The lookup lets the window process its messages, so a second press of Start (or Enter)
  // can arrive while this one runs: it is ignored.
  if (starting_) return;
  ScopedFlag startingGuard(starting_);

  const ProxySettings proxy = ReadProxySettings();

  const int zoom = ConvertZoomText(EditZoom.Text());
  if (!IsValidZoom(zoom)) {
    App().ShowMessage(ZoomRangeMessage);
    return;
  }

  double longitude = 0;
  double latitude = 0;
  try {
    longitude = ConvertCoordinateText(EditLong.Text());
    latitude = ConvertCoordinateText(EditLat.Text());
  } catch (const std::exception&) {
    App().ShowMessage(CoordinateInputErrorMessage);
    return;
  }
  if (auto message = CheckCoordinateRanges(longitude, latitude)) {
    App().ShowMessage(*message);
    return;
  }

  const std::string panoId = GetPanoId(
      latitude, longitude, [this](const std::string& line) { Memo1.Lines.Add(line); },
      [this] { App().ProcessMessages(); });
  if (App().Terminated()) return;  // the window was closed during the lookup
  Memo1.Lines.Add("Pano_id got: " + panoId);
  if (panoId.empty()) {
    App().ShowMessage(NoPanoramaMessage);
    return;
  }

  const std::string pathText = Edit6.Text();
  if (pathText.empty()) {
    App().ShowMessage(NoSavePathMessage);
    return;
  }
  if (!DirectoryExists(pathText) && !CreateDir(pathText)) {
    App().ShowMessage("Create directory " + pathText + " Failed.");
    return;
  }
  const std::string savePath = IncludeTrailingPathDelimiter(pathText);

  RunningThreads = 0;
  int threadCount = MaxThreadCount;

  const std::string taskFileName = TaskFileNameFor(EditTaskName.Text());

  ResumeCandidate candidate;
  candidate.SavePath = savePath;
  candidate.TaskFileName = taskFileName;
  candidate.TypedLongitude = EditLong.Text();
  candidate.TypedLatitude = EditLat.Text();
  candidate.TypedZoom = EditZoom.Text();
  candidate.TypedPath = pathText;
  candidate.TypedTaskName = EditTaskName.Text();
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

  std::unique_ptr<MDTask> task;
  try {
    task = std::make_unique<MDTask>(params.get(),
                                    [this](const std::string& text) { App().ShowMessage(text); });
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

  Memo1.Lines.LoadFromFile(CurrentTask->LogFileName);
  Memo2.Lines.LoadFromFile(CurrentTask->FailedFileName);

  LabelTotalxy.SetCaption("Total images: " + IntToStr(CurrentTask->TotalCount));
  BitBtn1.SetCaption("Stop");

  // The workers' main-thread calls wait until this handler has returned to the loop, so
  // RunningThreads reaches the full count before any ThreadDone lowers it.
  for (int i = 0; i < threadCount; ++i) {
    DownThreads[i] = std::make_unique<TDownThread>(false, i, CurrentTask.get(), *this, App());
    ++RunningThreads;
  }

  Timer1.SetEnabled(true);
  TimerTicks = 0;
}

void TForm1::StopSequence() {
  if (!CurrentTask) return;
  for (int i = 0; i < CurrentTask->Params->ThreadCount; ++i) {
    if (DownThreads[i]) DownThreads[i]->Terminate();
    Memo1.Lines.Add("Thread" + IntToStr(i + 1) + "will be terminated by user. please wait...");
  }
}

}  // namespace korvane
