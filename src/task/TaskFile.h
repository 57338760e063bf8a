#pragma once

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "task/PanoramaProtocol.h"
#include "task/TaskParameters.h"
#include "task/TileGrid.h"

namespace korvane {

// A column and row of the grid; 0 in either stands for "none" in a resume position.
struct TilePosition {
  int X = 0;
  int Y = 0;
  bool operator==(const TilePosition&) const = default;
};

// A panorama's size in pixels.
struct ImageSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const ImageSize&) const = default;
};

// A task file (".krvn", INI) as the download, the resume test, Open task, the combiner and the
// viewer read it, and as a new task writes it. The reader never fails: a missing, unreadable or
// damaged file reads as one without the keys it lacks, and each user decides what it needs.
struct TaskFile {
  // "MapsType"; nothing when the key is absent or names no protocol.
  std::optional<PanoramaProtocol> Protocol;
  // The coordinates' texts exactly as stored: the resume test compares them with what is typed.
  std::string Latitude;
  std::string Longitude;
  std::string PanoId;
  // "[Pano]" ById=1: the task was started by its id, so continuing it asks for that id again
  // and never looks the place up.
  bool StartedById = false;
  // Any whole number the key holds (it may be no zoom level); nothing when absent or no number.
  std::optional<int> Zoom;
  // "[XY]" when it is a grid a task can have (IsSoundPanoramaGrid). GridDamaged: the section
  // has a key but no such grid (a key that reads as -1 or no number counts as absent).
  std::optional<TileGrid> Grid;
  bool GridDamaged = false;
  // "[Image]" Width and Height, the panorama's real size, when both are positive. ImageDamaged:
  // one of them is there but they are not (read as Grid's keys are).
  std::optional<ImageSize> Image;
  bool ImageDamaged = false;
  // "[Image]" Date when it is "YYYY-MM" or "YYYY-MM-DD" (it goes into a picture's metadata),
  // else empty.
  std::string CaptureDate;
  // "[THREADS]" T<i>X / T<i>Y of each worker slot as stored (0 when absent or no number).
  std::array<TilePosition, MaxThreadCount> Resume{};

  // Raises Exception with one line for people that names `path` when the file cannot describe
  // a task's tiles: a zoom outside MinZoom..MaxZoom, a damaged grid, or an image size that is
  // damaged or larger than TileGridOrZoomGrid() covers.
  void CheckDescribesTiles(const std::string& path) const;
  // The recorded grid, else the classic grid of the zoom level (Zoom must be a valid level).
  TileGrid TileGridOrZoomGrid() const;
};

// Reads the task file at path; see TaskFile.
TaskFile ReadTaskFile(const std::string& path);

// Writes a new task file at path: "[MapsType]", "[AREA]", "[Pano]" (with ById=1 when
// StartedById), "[Zoom]" and, after a blank
// line, "[XY]" with a blank line after it; then, when Image is set, "[Image]" with Width, Height,
// Date when CaptureDate is not empty, and a blank line. An unset Protocol, Zoom or Grid is
// written as the classic protocol, 0 and an empty grid. Raises FileCreateError.
void WriteTaskFile(const std::string& path, const TaskFile& file);

// Records the resume positions of the given worker slots (0-based) in "[THREADS]" in one
// replacement of the file, so a reader (or a killed program) never sees the column of one save
// beside the row of another. Raises IniFileError.
void WriteResumePositions(const std::string& path,
                          const std::vector<std::pair<int, TilePosition>>& positions);

}  // namespace korvane
