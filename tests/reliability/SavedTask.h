#pragma once

#include <string>
#include <utility>
#include <vector>

#include "task/PanoramaProtocol.h"
#include "task/TileGrid.h"

namespace korvane::test {

// A task as its files on disk describe it, after one or more runs of korvane-cli.
struct SavedTask {
  std::string TaskFile;    // <folder>/<name>.krvn
  std::string TileFolder;  // <folder>/<name>/
  std::string LogFile;     // <folder>/<name>_log.txt
  std::string FailedList;  // <folder>/<name>_failed.ftl
  std::string PanoId;
  int Zoom = 0;
  PanoramaProtocol Protocol = PanoramaProtocol::Classic;
  TileGrid Grid;
};

// Reads the task file (saveFolder + taskName + ".krvn"); an unreadable one gives an empty id.
SavedTask ReadSavedTask(const std::string& saveFolder, const std::string& taskName);

// How a task's tile folder compares with the tiles the stand-in service serves.
struct TileFolderReport {
  int Identical = 0;                   // grid tiles byte-identical to the service's
  std::vector<std::string> Missing;    // grid tiles without a file
  std::vector<std::string> Different;  // grid tiles whose file differs from the service's
  std::vector<std::string> Strays;     // every other entry (temporaries, .invalid, ...)

  // Grid tiles that are not what the service serves.
  int Lost() const { return static_cast<int>(Missing.size() + Different.size()); }
};

// Compares every tile of the task's grid with the service's tile of the same id, place and
// zoom (rendered here by the stand-in's own code). `listed` names tiles (file names, e.g.
// "gv_1_2_4.jpg") that the failed list holds: they may be missing or hold a substitute.
TileFolderReport CompareTiles(const SavedTask& task, const std::vector<std::string>& listed = {});

// The file names of the tiles the failed list names, in its order.
std::vector<std::string> ListedTiles(const SavedTask& task);

// Column and row of a tile's file ("gv_X_Y_Z.jpg", with or without its folder).
std::pair<int, int> TileOfFile(const std::string& path);

// Entries of `folder` named as the program's whole-file writes name their temporaries.
std::vector<std::string> TemporariesIn(const std::string& folder);

}  // namespace korvane::test
