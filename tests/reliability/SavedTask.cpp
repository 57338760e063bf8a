#include "reliability/SavedTask.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "TileCache.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "task/FailedList.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

SavedTask ReadSavedTask(const std::string& saveFolder, const std::string& taskName) {
  SavedTask task;
  const TaskFileNames names =
      TaskFileNamesOf(IncludeTrailingPathDelimiter(saveFolder) + taskName + TaskFileExtension);
  task.TaskFile = names.TaskFile;
  task.TileFolder = names.TileFolder;
  task.LogFile = names.LogFile;
  task.FailedList = names.FailedList;
  const TaskFile file = ReadTaskFile(task.TaskFile);
  task.PanoId = file.PanoId;
  task.Zoom = file.Zoom.value_or(0);
  task.Protocol = file.Protocol.value_or(PanoramaProtocol::Classic);
  task.Grid = file.Grid.value_or(TileGrid{0, 0, -1, -1});  // no grid: no tiles
  return task;
}

TileFolderReport CompareTiles(const SavedTask& task, const std::vector<std::string>& listed) {
  TileFolderReport report;
  standin::TileCache tiles;
  std::vector<std::string> gridNames;
  for (int x = task.Grid.MinX; x <= task.Grid.MaxX; ++x) {
    for (int y = task.Grid.MinY; y <= task.Grid.MaxY; ++y) {
      const std::string name = TileFileName(x, y, task.Zoom);
      gridNames.push_back(name);
      const std::string path = task.TileFolder + name;
      if (!FileExists(path)) {
        if (!Holds(listed, name)) report.Missing.push_back(name);
        continue;
      }
      const auto served = task.Protocol == PanoramaProtocol::Current
                              ? tiles.CurrentTile(task.PanoId, x, y, task.Zoom)
                              : tiles.Tile(task.PanoId, x, y, task.Zoom);
      if (ReadFileBytes(path) == *served) {
        ++report.Identical;
      } else if (!Holds(listed, name)) {
        report.Different.push_back(name);
      }
    }
  }
  if (!fs::exists(task.TileFolder)) return report;
  for (const auto& entry : fs::directory_iterator(task.TileFolder)) {
    const std::string name = entry.path().filename().string();
    if (!Holds(gridNames, name)) report.Strays.push_back(name);
  }
  return report;
}

std::vector<std::string> ListedTiles(const SavedTask& task) {
  std::vector<std::string> names;
  if (!FileExists(task.FailedList)) return names;
  for (const std::string& line : LoadLines(task.FailedList))
    names.push_back(ExtractFileName(SplitFailedLine(line).File));
  return names;
}

std::pair<int, int> TileOfFile(const std::string& path) {
  int x = -1, y = -1;
  std::sscanf(ExtractFileName(path).c_str(), "gv_%d_%d_", &x, &y);
  return {x, y};
}

std::vector<std::string> TemporariesIn(const std::string& folder) {
  std::vector<std::string> found;
  if (!fs::exists(folder)) return found;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.front() == '.' && name.find(".part") != std::string::npos) found.push_back(name);
  }
  return found;
}

}  // namespace korvane::test
