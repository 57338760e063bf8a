#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// How a task's files are named. A task lives beside its task file "<folder>/<name>.krvn": its
// tiles in the tile folder "<folder>/<name>/" (the folder a run locks, as no save replaces it),
// its log "<folder>/<name>_log.txt", its failed-tile list "<folder>/<name>_failed.ftl" and the
// record of its panorama "<folder>/<name>.json" (PanoramaRecordFile.h). The
// download, the re-download, the combiner and the viewer all find them by these names.
inline constexpr const char* TaskFileExtension = ".krvn";

struct TaskFileNames {
  std::string TaskFile;
  std::string TileFolder;  // ends with "/"
  std::string LogFile;
  std::string FailedList;
};

// The names of the files of the task whose task file is taskFilePath (its extension, whatever
// it is, gives way to the suffixes).
TaskFileNames TaskFileNamesOf(const std::string& taskFilePath);

// The task file a failed-tile list belongs to: "<folder>/<name>.krvn" for
// "<folder>/<name>_failed.ftl"; nothing for a list not named so.
std::optional<std::string> TaskFileOfFailedList(const std::string& listPath);

// "gv_<x>_<y>_<zoom>.jpg": the file of a tile in the tile folder.
std::string TileFileName(int x, int y, int zoom);

// A tile as its file names it.
struct TileFileId {
  int X = 0;
  int Y = 0;
  int Zoom = 0;
};

// The tile a file name names, when it is exactly TileFileName's form with numbers of 0 and up.
std::optional<TileFileId> ParseTileFileName(std::string_view name);

}  // namespace korvane
