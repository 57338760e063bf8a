#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "combine/CombineTask.h"

namespace korvane {

// What the command line asks for.
struct MosaickerArguments {
  enum class Action { Combine, Window, Help, Version, Invalid };
  Action What = Action::Invalid;
  std::string TaskFile;    // Combine: required; Window: preselected when not empty
  std::string OutputPath;  // empty: beside the task file
  int Quality = DefaultCombineQuality;
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

// Runs a Combine request as the command line does: the picture's path on out; the error or the
// missing-tile summary and list (one path a line) on err. Returns the exit status.
ExitStatus RunMosaickerCombine(const MosaickerArguments& arguments, std::ostream& out,
                               std::ostream& err);

}  // namespace korvane
