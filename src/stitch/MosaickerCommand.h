#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "stitch/PanoramaStitcher.h"

namespace korvane {

// Exit statuses of mosaicker, for scripts.
inline constexpr int MosaickerComplete = 0;
inline constexpr int MosaickerError = 1;
inline constexpr int MosaickerBadCommandLine = 2;
inline constexpr int MosaickerIncomplete = 3;

// What the command line asks for.
struct MosaickerArguments {
  enum class Action { Stitch, Window, Help, Version, Invalid };
  Action What = Action::Invalid;
  std::string TaskFile;    // Stitch: required; Window: preselected when not empty
  std::string OutputPath;  // empty: beside the task file
  int Quality = DefaultStitchQuality;
  bool Force = false;
  std::string Problem;  // Invalid: what is wrong, one line
};

// mosaicker [--out FILE.jpg] [--quality 1..100] [--force] TASK.krvn
// mosaicker [--window [TASK.krvn]]      (no argument at all: the window)
// mosaicker --help | --version
// args excludes the program's name.
MosaickerArguments ParseMosaickerArguments(const std::vector<std::string>& args);

// The --help text (ends with a line end).
std::string MosaickerUsage();

// What one combine ended with: the exit status, the one-line message of an error or the
// missing-tile summary (empty when complete), the missing tiles and the picture made.
struct CombineOutcome {
  int ExitStatus = MosaickerError;
  std::string Message;
  StitchReport Report;
};

// Reads the task file and combines its tiles; never raises for what a user can cause.
// Incomplete: Message is "Incomplete: N of M tiles missing, filled with grey." and
// Report.MissingTiles lists them.
CombineOutcome CombineTask(const std::string& taskFile, const std::string& outputPath, int quality,
                           bool force, const std::function<bool(int, int)>& progress = {});

// Runs a Stitch request as the command line does: the picture's path on out; the error or the
// missing-tile summary and list (one path a line) on err. Returns the exit status.
int RunMosaickerStitch(const MosaickerArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace korvane
