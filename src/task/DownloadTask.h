#pragma once

#include <array>
#include <string>

#include "platform/Exception.h"
#include "task/TaskParameters.h"
#include "task/TileAddresses.h"
#include "task/TileGrid.h"

namespace korvane {

// The task's tile folder could not be created; the message names it.
class TileFolderError : public Exception {
 public:
  using Exception::Exception;
};

// The task object built from one press of Start: the tile grid of its zoom level, the tile
// addresses and file paths, the names of the task's files and, for a continued task, each
// worker's resume position. Read-only once the workers run, so workers and the main thread
// read it without locking.
class DownloadTask {
 public:
  // Builds the grid, the file names and the tile folder, reads the resume positions of a
  // continued task and the tile hosts from the configuration (the four servers of a classic
  // task, TileBase of a current one). The grid: the fixed one of the zoom level for a classic
  // task; for a current task the one recorded in "[XY]" of the task file it continues, else the one
  // of the picture size in params (raises Exception when that gives none). Raises TileFolderError
  // ("Create directory " + TileFolder
  // + " Failed.") when the tile folder cannot be created. params must outlive the task.
  explicit DownloadTask(TaskParameters* params);

  // Per worker slot: column and row of the last tile that worker finished in an earlier run
  // (0 = none; a value read from the task file that lies outside the grid is read as 0).
  std::array<int, MaxThreadCount> ResumeX{};
  std::array<int, MaxThreadCount> ResumeY{};
  TaskParameters* Params;
  std::string LogFileName;
  std::string FailedFileName;
  std::string TileFolder;  // ends with "/"

  const TileGrid& Grid() const { return grid_; }

  // The tile's address (TileAddresses).
  std::string GetTileUrl(int x, int y) const;
  // "gv_<x>_<y>_<zoom>.jpg"
  std::string GetTileFileName(int x, int y) const;
  std::string GetTileFilePath(int x, int y) const;

  // SavePath + TaskFileName.
  std::string TaskFilePath() const;

  // The sequence number up to which worker `index` passes over tiles when the task continues:
  // the number of its recorded tile when both coordinates are non-zero and inside the grid,
  // else 0.
  int ResumeSkip(int index) const;

  // Writes the sixteen lines of a new task file, and for a current task the "[Image]" section
  // after them (a continued task keeps its file untouched). Raises FileCreateError.
  void SaveTaskFile() const;
  // Writes the log header of a new task, or appends the continuation lines to the log of a
  // continued one. Raises FileCreateError / FileOpenError.
  void WriteLogHeader() const;
  // Empties the failed-tile list of a new task; a continued task keeps its list.
  void CreateFailedList() const;
  // Removes what writes of an earlier run that was killed left behind: the temporaries in the
  // tile folder and those of the task file, log and list. Only while this run holds the task.
  void RemoveAbandonedWrites() const;

 private:
  TileGrid grid_;
  TileAddresses tileAddresses_;
};

}  // namespace korvane
