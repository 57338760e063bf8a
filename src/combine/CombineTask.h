#pragma once

#include <functional>
#include <string>

#include "combine/PanoramaCombiner.h"
#include "platform/ExitStatus.h"

namespace korvane {

// What one combine ended with: the exit status, the one-line message of an error or the
// missing-tile summary (empty when complete), the missing tiles and the picture made.
struct CombineOutcome {
  ExitStatus Status = ExitStatus::Error;
  std::string Message;
  CombineReport Report;
};

// Reads the task file and combines its tiles; never raises for what a user can cause.
// Incomplete: Message is "Incomplete: N of M tiles missing, filled with grey." and
// Report.MissingTiles lists them.
CombineOutcome CombineTask(const std::string& taskFile, const std::string& outputPath, int quality,
                           bool force, const std::function<bool(int, int)>& progress = {});

}  // namespace korvane
