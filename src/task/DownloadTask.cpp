#include "task/DownloadTask.h"

#include <optional>

#include "net/ServiceAddresses.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFileKeys.h"

namespace korvane {

namespace {

// The current protocol's tile on TileBase; one host serves every row.
constexpr const char* CurrentTilePath = "/v1/tile?cb_client=maps_sv.tactile&panoid=";

// The grid recorded in a task file, when it is one a task can have.
std::optional<TileGrid> RecordedGrid(const TIniFile& taskFile) {
  constexpr int Absent = -1;
  const TileGrid grid{taskFile.ReadInteger(GridSection, GridMinXKey, Absent),
                      taskFile.ReadInteger(GridSection, GridMinYKey, Absent),
                      taskFile.ReadInteger(GridSection, GridMaxXKey, Absent),
                      taskFile.ReadInteger(GridSection, GridMaxYKey, Absent)};
  if (!IsSoundPanoramaGrid(grid)) return std::nullopt;
  return grid;
}

// The grid of a current task: the one its task file records when it continues (the service is
// not asked again, so the grid stays what the first run had), else the one the lookup's
// picture size gives. Raises Exception when there is neither.
TileGrid CurrentTaskGrid(const TaskParameters& params, const std::string& taskFilePath) {
  if (params.ContinueTask) {
    if (const auto recorded = RecordedGrid(TIniFile(taskFilePath))) return *recorded;
  }
  const auto grid =
      GridForPanorama(params.ImageWidth, params.ImageHeight, params.TileWidth, params.TileHeight);
  if (!grid) throw Exception("No tile grid for the panorama's size.");
  return *grid;
}

}  // namespace

DownloadTask::DownloadTask(TaskParameters* params) : Params(params) {
  const TileGrid grid = Params->MapsType == CurrentStreetViewMapsType
                            ? CurrentTaskGrid(*Params, TaskFilePath())
                            : GridForZoom(Params->Zoom);
  MinX = grid.MinX;
  MinY = grid.MinY;
  MaxX = grid.MaxX;
  MaxY = grid.MaxY;
  TotalCount = grid.TotalCount();

  const std::string base = Params->SavePath + RemoveFileExt(Params->TaskFileName);
  LogFileName = base + "_log.txt";
  FailedFileName = base + "_failed.ftl";
  TileFolder = base + PathDelim;

  if (!DirectoryExists(TileFolder) && !CreateDir(TileFolder)) {
    throw TileFolderError("Create directory " + TileFolder + " Failed.");
  }

  if (Params->ContinueTask) {
    // A coordinate outside the grid (a damaged or hand-edited file) counts as none, as an
    // absent key does, so it can never reach the arithmetic of the walk.
    TIniFile taskFile(TaskFilePath());
    for (int i = 0; i < MaxThreadCount; ++i) {
      const int x = taskFile.ReadInteger(ThreadsSection, ThreadKeyX(i), 0);
      const int y = taskFile.ReadInteger(ThreadsSection, ThreadKeyY(i), 0);
      ResumeX[i] = grid.ContainsColumn(x) ? x : 0;
      ResumeY[i] = grid.ContainsRow(y) ? y : 0;
    }
  }

  // The hosts are fixed for the task's life, so the workers never read the configuration.
  if (Params->MapsType == CurrentStreetViewMapsType) {
    tileBase_ = TileBase();
  } else {
    for (int server = 0; server < StreetViewServerCount; ++server) {
      tileHosts_[server] = StreetViewHost(server);
    }
  }
}

std::string DownloadTask::GetTileUrl(int x, int y) const {
  if (Params->MapsType == CurrentStreetViewMapsType) {
    return tileBase_ + CurrentTilePath + Params->PanoId + "&x=" + IntToStr(x) +
           "&y=" + IntToStr(y) + "&zoom=" + IntToStr(Params->Zoom);
  }
  return "http://" + tileHosts_[y % StreetViewServerCount] +
         "/cbk?output=tile&panoid=" + Params->PanoId + "&x=" + IntToStr(x) + "&y=" + IntToStr(y) +
         "&zoom=" + IntToStr(Params->Zoom);
}

std::string DownloadTask::GetTileFileName(int x, int y) const {
  return "gv_" + IntToStr(x) + "_" + IntToStr(y) + "_" + IntToStr(Params->Zoom) + "." +
         GetImageExtension();
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
  if (x == 0 || y == 0 || !Grid().ContainsColumn(x) || !Grid().ContainsRow(y)) return 0;
  return Grid().SequenceNumber(x, y);
}

}  // namespace korvane
