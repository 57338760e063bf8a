#pragma once

namespace korvane {

// How far a running task has come: tiles finished (saved or substituted, including those an
// earlier run of a continued task finished), the grid's tile count, and the lines of the
// failed-tile list. The session counts it; a window, a progress line or a batch shows it.
struct SessionProgress {
  int Done = 0;
  int Total = 0;
  int Failed = 0;
  // Tiles of this run that have a substitute in their place, listed or not (a tile the service
  // does not have is substituted without a line in the failed-tile list).
  int Substituted = 0;
  // Tiles of this run that the service answered with its blank placeholder (listed, no file).
  int Placeholders = 0;
  // Tiles finished by this run alone (Done less those of earlier runs).
  int FinishedThisRun = 0;
};

}  // namespace korvane
