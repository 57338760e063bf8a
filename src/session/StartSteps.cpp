#include "session/StartSteps.h"

#include <exception>

#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/StartRules.h"
#include "task/PanoramaRecordFile.h"
#include "task/TileGrid.h"

namespace korvane {

std::optional<CheckedStart> CheckStartInput(const StartRequest& request, SessionHost& host) {
  CheckedStart checked;
  checked.Zoom = ConvertZoomText(request.Zoom);
  if (!IsValidZoom(checked.Zoom)) {
    host.ShowMessage(ZoomRangeMessage);
    return std::nullopt;
  }
  try {
    checked.Longitude = ConvertCoordinateText(request.Longitude);
    checked.Latitude = ConvertCoordinateText(request.Latitude);
  } catch (const std::exception&) {
    host.ShowMessage(CoordinateInputErrorMessage);
    return std::nullopt;
  }
  if (auto message = CheckCoordinateRanges(checked.Longitude, checked.Latitude)) {
    host.ShowMessage(*message);
    return std::nullopt;
  }
  const std::optional<PanoramaProtocol> protocol =
      ParsePanoramaProtocol(request.Service.ProtocolName);
  if (!protocol) {
    host.ShowMessage(UnknownProtocolMessage(request.Service.ProtocolName));
    return std::nullopt;
  }
  checked.Protocol = *protocol;
  checked.Wish = LookupWish{request.PanoId, request.Date};
  return checked;
}

std::shared_ptr<TaskParameters> BuildTaskParameters(const StartRequest& request,
                                                    const CheckedStart& checked,
                                                    const StartLookupResult& found,
                                                    SessionHost& host) {
  const std::string& pathText = request.SavePath;
  if (pathText.empty()) {
    host.ShowMessage(NoSavePathMessage);
    return nullptr;
  }
  if (!DirectoryExists(pathText) && !CreateDir(pathText)) {
    host.ShowMessage(CreateDirectoryFailedMessage(pathText));
    return nullptr;
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
  candidate.PanoId = found.PanoId;
  candidate.Protocol = found.Protocol;
  candidate.ById = found.ById;

  auto params = std::make_shared<TaskParameters>();
  params->Longitude = checked.Longitude;
  params->Latitude = checked.Latitude;
  params->PanoId = found.PanoId;
  params->Zoom = checked.Zoom;
  params->ThreadCount = MaxThreadCount;
  params->Connections = request.Service.Connections;
  found.ApplyTo(*params);
  // A panorama asked for by id stands where the service says, not at the typed point.
  if (found.ById && found.Record.Latitude && found.Record.Longitude) {
    params->Latitude = *found.Record.Latitude;
    params->Longitude = *found.Record.Longitude;
  }
  params->SavePath = savePath;
  params->TaskFileName = taskFileName;
  const ProxySettings& proxy = request.Service.Proxy;
  params->UseProxy = proxy.UseProxy;
  params->ProxyServer = proxy.ProxyServer;
  params->ProxyPort = proxy.ProxyPort;
  params->ProxyUsername = proxy.ProxyUsername;
  params->ProxyPassword = proxy.ProxyPassword;
  params->ContinueTask = IsContinuedTask(candidate);
  return params;
}

void WriteTaskRecord(const DownloadTask& task, const TaskParameters& params,
                     const std::function<void(const std::string&)>& addLogLine) {
  PanoramaRecord record = params.Record;
  if (record.PanoId.empty()) record.PanoId = params.PanoId;
  if (!record.Protocol) record.Protocol = params.Protocol;
  try {
    WritePanoramaRecord(task.TaskFilePath(), record);
  } catch (const std::exception& error) {
    addLogLine(error.what());
  }
}

std::unique_ptr<DownloadTask> CreateTask(
    TaskParameters& params, SessionHost& host,
    const std::function<void(const std::string&)>& addLogLine) {
  try {
    return std::make_unique<DownloadTask>(&params);
  } catch (const TileFolderError& error) {
    host.ShowMessage(error.what());
    host.ShowMessage(CreateTaskFailureMessage);
  } catch (const std::exception& error) {
    host.ShowMessage(CreateTaskFailureMessage);
    addLogLine(error.what());
  }
  return nullptr;
}

}  // namespace korvane
