#include "combine/TaskTiles.h"

#include <algorithm>

#include "combine/CombineLimits.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane {

std::string TaskTiles::TileFileName(int x, int y) const {
  return korvane::TileFileName(x, y, Zoom);
}

std::string TaskTiles::TilePath(int x, int y) const {
  return TileFolder + TileFileName(x, y);
}

TaskTiles ReadTaskTiles(const std::string& taskFilePath) {
  // The task file's reader treats a missing file as empty; a companion must say so instead.
  // Only a regular file of a task file's size is read: a FIFO or a device given as the task
  // would make the reader wait or read for ever.
  ReadRegularFile(taskFilePath, MaxTaskFileBytes);
  const TaskFile file = ReadTaskFile(taskFilePath);
  file.CheckDescribesTiles(taskFilePath);

  const TaskFileNames names = TaskFileNamesOf(taskFilePath);
  TaskTiles tiles;
  tiles.TaskFilePath = taskFilePath;
  tiles.TileFolder = names.TileFolder;
  tiles.FailedListPath = names.FailedList;
  tiles.Protocol = file.Protocol.value_or(PanoramaProtocol::Classic);
  tiles.PanoId = file.PanoId;
  tiles.Zoom = *file.Zoom;
  tiles.Grid = file.TileGridOrZoomGrid();
  if (file.Image) {
    tiles.ImageWidth = file.Image->Width;
    tiles.ImageHeight = file.Image->Height;
  } else {
    tiles.ImageWidth = std::min(ClassicBaseWidth << tiles.Zoom, tiles.GridWidth());
    tiles.ImageHeight = std::min(ClassicBaseHeight << tiles.Zoom, tiles.GridHeight());
  }
  tiles.CaptureDate = file.CaptureDate;
  return tiles;
}

int FailedTileCount(const TaskTiles& tiles) {
  if (!FileExists(tiles.FailedListPath)) return 0;
  int count = 0;
  for (const std::string& line :
       SplitLines(ReadRegularFile(tiles.FailedListPath, MaxFailedListBytes))) {
    if (!line.empty()) ++count;
  }
  return count;
}

std::vector<std::string> MissingTilePaths(const TaskTiles& tiles) {
  std::vector<std::string> missing;
  for (int row = 0; row < tiles.RowsInImage(); ++row) {
    for (int column = 0; column < tiles.ColumnsInImage(); ++column) {
      const std::string path = tiles.TilePath(tiles.Grid.MinX + column, tiles.Grid.MinY + row);
      if (!FileExists(path)) missing.push_back(path);
    }
  }
  return missing;
}

}  // namespace korvane
