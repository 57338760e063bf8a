#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "combine/CombineTask.h"
#include "views/ViewSet.h"

namespace korvane {

// What the command line asks for.
struct MosaickerArguments {
  enum class Action { Combine, Views, Window, Help, Version, Invalid };
  Action What = Action::Invalid;
  std::string TaskFile;    // Combine: required; Window: preselected when not empty
  std::string OutputPath;  // empty: beside the task file
  int Quality = DefaultCombineQuality;
  bool Force = false;
  std::string Problem;  // Invalid: what is wrong, one line
  ViewJob Views;        // Views: the input, the views and where they go
};

// mosaicker [--out FILE.jpg] [--quality 1..100] [--force] TASK.krvn
// mosaicker --view H,P,FOV | --views N | --cube  [--size WxH] [--out FILE.jpg] [--quality N]
//           [--force] TASK.krvn|PANORAMA.jpg
// mosaicker [--window [TASK.krvn]]      (no argument at all: the window)
// mosaicker --help | --version
// args excludes the program's name.
MosaickerArguments ParseMosaickerArguments(const std::vector<std::string>& args);

// The --help text (ends with a line end).
std::string MosaickerUsage();

// Runs a Combine request as the command line does: the picture's path on out; the error or the
// missing-tile summary and list (one path a line) on err. Returns the exit status.
// Runs a Views request: each view's path on out, warnings and errors on err.
ExitStatus RunMosaickerViews(const MosaickerArguments& arguments, std::ostream& out,
                             std::ostream& err);

ExitStatus RunMosaickerCombine(const MosaickerArguments& arguments, std::ostream& out,
                               std::ostream& err);

}  // namespace korvane
