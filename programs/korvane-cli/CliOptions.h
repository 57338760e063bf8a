#pragma once

#include <optional>
#include <string>
#include <vector>

#include "session/StartRequest.h"

namespace korvane {

// The command line of korvane-cli:
//   korvane-cli [--task TEXT] [--lat TEXT] [--lon TEXT] [--zoom TEXT] [--path TEXT] [--open FILE]
//               [--stitch] [--service current|classic|maptiles] [--quiet]
//   korvane-cli --retry FILE
//   korvane-cli --batch FILE.csv [--path TEXT] [--zoom TEXT] [--stitch]
//               [--service current|classic|maptiles] [--quiet]
// Each TEXT is put into its box exactly as a user would type it (empty texts included).
struct CliOptions {
  std::optional<std::string> Task;
  std::optional<std::string> Latitude;
  std::optional<std::string> Longitude;
  std::optional<std::string> Zoom;
  std::optional<std::string> Path;
  std::optional<std::string> OpenFile;
  std::optional<std::string> RetryFile;
  std::optional<std::string> BatchFile;
  // The service protocol for this run instead of the configuration's "Protocol".
  std::optional<std::string> Service;
  bool ShowHelp = false;
  // --stitch: after the task's end, join its tiles into one panorama (when none is missing).
  bool Combine = false;
  // No progress line on a terminal's standard error (--quiet).
  bool Quiet = false;
  bool ShowVersion = false;
};

// Parses the arguments after the program name; nothing when they are not a valid command line
// (unknown option, missing value, an option given twice, --retry with any other option, a
// --service other than current or classic in any case).
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments);

// The service route of one start, read when that start comes (a batch reads it for each
// place, as the window does at each press of Start): the configuration's, with --service over
// its protocol.
ServiceRoute RouteForStart(const CliOptions& options);

// The usage text printed for a bad command line and for --help.
std::string CliUsage();

}  // namespace korvane
