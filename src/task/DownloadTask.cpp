#include "task/DownloadTask.h"

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane {

namespace {

// The grid of a current task: the one its task file records when it continues (the service is
// not asked again, so the grid stays what the first run had), else the one the lookup's
// picture size gives. Raises Exception when there is neither.
TileGrid CurrentTaskGrid(const TaskParameters& params, const TaskFile& recorded) {
  if (params.ContinueTask && recorded.Grid) return *recorded.Grid;
  const auto grid =
      GridForPanorama(params.ImageWidth, params.ImageHeight, params.TileWidth, params.TileHeight);
  if (!grid) throw Exception("No tile grid for the panorama's size.");
  return *grid;
}

}  // namespace

DownloadTask::DownloadTask(TaskParameters* params)
    : Params(params), tileAddresses_(params->Protocol) {
  // A new task's file is not read: it is about to be replaced.
  const TaskFile recorded = Params->ContinueTask ? ReadTaskFile(TaskFilePath()) : TaskFile{};
  grid_ = IsTodaysProtocol(Params->Protocol) ? CurrentTaskGrid(*Params, recorded)
                                             : GridForZoom(Params->Zoom);

  const TaskFileNames names = TaskFileNamesOf(TaskFilePath());
  LogFileName = names.LogFile;
  FailedFileName = names.FailedList;
  TileFolder = names.TileFolder;

  if (!DirectoryExists(TileFolder) && !CreateDir(TileFolder)) {
    throw TileFolderError("Create directory " + TileFolder + " Failed.");
  }

  // A coordinate outside the grid (a damaged or hand-edited file) counts as none, as an absent
  // key does, so it can never reach the arithmetic of the walk.
  for (int i = 0; i < MaxThreadCount; ++i) {
    const TilePosition position = recorded.Resume[i];
    ResumeX[i] = grid_.ContainsColumn(position.X) ? position.X : 0;
    ResumeY[i] = grid_.ContainsRow(position.Y) ? position.Y : 0;
  }
}

std::string DownloadTask::GetTileUrl(int x, int y) const {
  return tileAddresses_.Of(Params->PanoId, x, y, Params->Zoom);
}

std::string DownloadTask::GetTileFileName(int x, int y) const {
  return TileFileName(x, y, Params->Zoom);
}

std::string DownloadTask::GetTileFilePath(int x, int y) const {
  return TileFolder + GetTileFileName(x, y);
}

std::string DownloadTask::TaskFilePath() const {
  return Params->SavePath + Params->TaskFileName;
}

int DownloadTask::ResumeSkip(int index) const {
  if (index < 0 || index >= MaxThreadCount) return 0;
  const int x = ResumeX[index];
  const int y = ResumeY[index];
  if (x == 0 || y == 0 || !grid_.ContainsColumn(x) || !grid_.ContainsRow(y)) return 0;
  return grid_.SequenceNumber(x, y);
}

void DownloadTask::SaveTaskFile() const {
  if (Params->ContinueTask) return;
  TaskFile file;
  file.Protocol = Params->Protocol;
  file.Latitude = FloatToStr(Params->Latitude);
  file.Longitude = FloatToStr(Params->Longitude);
  file.PanoId = Params->PanoId;
  file.StartedById = Params->StartedById;
  file.Zoom = Params->Zoom;
  file.Grid = grid_;
  if (IsTodaysProtocol(Params->Protocol)) {
    file.Image = ImageSize{Params->ImageWidth, Params->ImageHeight};
    file.CaptureDate = Params->CaptureDate;
  }
  WriteTaskFile(TaskFilePath(), file);
}

}  // namespace korvane
