#pragma once

#include <string>
#include <vector>

#include "task/PanoramaProtocol.h"
#include "task/TileGeometry.h"
#include "task/TileGrid.h"

namespace korvane {

// What a companion program (the images combiner, the viewer) needs to know about a task's
// tiles, read from its task file "<save folder>/<task name>.krvn". The tiles lie in the folder
// beside it named after the task (TaskFileNames.h), as the download names them.
struct TaskTiles {
  std::string TaskFilePath;
  // The file's protocol; the classic one when the file names none.
  PanoramaProtocol Protocol = PanoramaProtocol::Classic;
  std::string PanoId;
  int Zoom = 0;
  // The tile columns and rows: "[XY]" when the file has a sound one, else the zoom's classic
  // grid.
  TileGrid Grid;
  // The panorama's real size, what the tiles are cropped to: "[Image]" Width and Height when
  // the file has them, else the classic 416 * 2^Z by 208 * 2^Z (never more than the grid
  // covers).
  int ImageWidth = 0;
  int ImageHeight = 0;
  // "YYYY-MM" or "YYYY-MM-DD" when the task file records when the panorama was taken, else
  // empty.
  std::string CaptureDate;
  // Ends with "/".
  std::string TileFolder;
  // "<save folder>/<task name>_failed.ftl": the tiles the download could not fetch (each has a
  // substitute picture in its place).
  std::string FailedListPath;

  // The size the whole grid of tiles covers.
  int GridWidth() const { return Grid.Columns() * TilePixels; }
  int GridHeight() const { return Grid.Rows() * TilePixels; }
  // The columns and rows (from the grid's first) that hold a part of the picture.
  int ColumnsInImage() const { return (ImageWidth + TilePixels - 1) / TilePixels; }
  int RowsInImage() const { return (ImageHeight + TilePixels - 1) / TilePixels; }

  // "gv_<x>_<y>_<zoom>.jpg"
  std::string TileFileName(int x, int y) const;
  // TileFolder + TileFileName(x, y)
  std::string TilePath(int x, int y) const;
};

// Reads a task file. Raises Exception with a one-line message a user can act on when the file
// is missing or unreadable ("Cannot open file " + path), or when it names no zoom level from
// MinZoom to MaxZoom, an impossible grid or an impossible image size (each message names the
// file). Does not look at the tile folder.
TaskTiles ReadTaskTiles(const std::string& taskFilePath);

// How many tiles the failed-tile list names (0 when there is no list).
int FailedTileCount(const TaskTiles& tiles);

// The paths of the picture's tiles that have no file, row by row; empty when all are there.
std::vector<std::string> MissingTilePaths(const TaskTiles& tiles);

}  // namespace korvane
