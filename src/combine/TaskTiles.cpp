#include "combine/TaskTiles.h"

#include <algorithm>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

constexpr int Absent = -1;

// "YYYY-MM" or "YYYY-MM-DD" with digits only; anything else is not used (it goes into the
// picture's metadata).
bool IsCaptureDate(const std::string& text) {
  if (text.size() != 7 && text.size() != 10) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool dash = i == 4 || i == 7;
    if (dash ? text[i] != '-' : !IsDecimalDigit(text[i])) return false;
  }
  return true;
}

bool IsSoundGrid(const TileGrid& grid) {
  return grid.MinX >= 0 && grid.MinY >= 0 && grid.MaxX >= grid.MinX && grid.MaxY >= grid.MinY &&
         grid.Columns() <= MaxTileGridSide && grid.Rows() <= MaxTileGridSide;
}

}  // namespace

std::string TaskTiles::TileFileName(int x, int y) const {
  return "gv_" + IntToStr(x) + "_" + IntToStr(y) + "_" + IntToStr(Zoom) + ".jpg";
}

std::string TaskTiles::TilePath(int x, int y) const {
  return TileFolder + TileFileName(x, y);
}

TaskTiles ReadTaskTiles(const std::string& taskFilePath) {
  // The INI reader treats a missing file as empty; a companion must say so instead.
  ReadFileBytes(taskFilePath);
  const TIniFile file(taskFilePath);

  TaskTiles tiles;
  tiles.TaskFilePath = taskFilePath;
  tiles.TileFolder = RemoveFileExt(taskFilePath) + PathDelim;
  tiles.FailedListPath = RemoveFileExt(taskFilePath) + "_failed.ftl";
  tiles.MapsType = file.ReadInteger(MapsTypeSection, MapsTypeKey, StreetViewMapsType);
  tiles.Kind =
      tiles.MapsType == CurrentStreetViewMapsType ? PanoramaKind::Current : PanoramaKind::Classic;
  tiles.PanoId = file.ReadString(PanoSection, PanoIdKey, "");
  tiles.Zoom = file.ReadInteger(ZoomSection, ZoomKey, Absent);
  if (!IsValidZoom(tiles.Zoom)) {
    throw Exception("The task file " + taskFilePath + " names no zoom level from " +
                    IntToStr(MinZoom) + " to " + IntToStr(MaxZoom) + ".");
  }

  tiles.Grid = GridForZoom(tiles.Zoom);
  const TileGrid written{file.ReadInteger(GridSection, GridMinXKey, Absent),
                         file.ReadInteger(GridSection, GridMinYKey, Absent),
                         file.ReadInteger(GridSection, GridMaxXKey, Absent),
                         file.ReadInteger(GridSection, GridMaxYKey, Absent)};
  const bool gridWritten = written.MinX != Absent || written.MaxX != Absent ||
                           written.MinY != Absent || written.MaxY != Absent;
  if (gridWritten) {
    if (!IsSoundGrid(written)) {
      throw Exception("The task file " + taskFilePath + " has an impossible tile grid.");
    }
    tiles.Grid = written;
  }

  const int width = file.ReadInteger(ImageSection, ImageWidthKey, Absent);
  const int height = file.ReadInteger(ImageSection, ImageHeightKey, Absent);
  if (width != Absent || height != Absent) {
    if (width <= 0 || height <= 0 || width > tiles.GridWidth() || height > tiles.GridHeight()) {
      throw Exception("The task file " + taskFilePath + " has an impossible image size.");
    }
    tiles.ImageWidth = width;
    tiles.ImageHeight = height;
    tiles.ImageSizeFromFile = true;
  } else {
    tiles.ImageWidth = std::min(ClassicBaseWidth << tiles.Zoom, tiles.GridWidth());
    tiles.ImageHeight = std::min(ClassicBaseHeight << tiles.Zoom, tiles.GridHeight());
  }

  const std::string date = file.ReadString(ImageSection, ImageDateKey, "");
  if (IsCaptureDate(date)) tiles.CaptureDate = date;
  return tiles;
}

int FailedTileCount(const TaskTiles& tiles) {
  if (!FileExists(tiles.FailedListPath)) return 0;
  int count = 0;
  for (const std::string& line : LoadLines(tiles.FailedListPath)) {
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
