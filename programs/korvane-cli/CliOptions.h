#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/DiscoveryRun.h"
#include "session/StartRequest.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// The command line of korvane-cli:
//   korvane-cli [--task TEXT] [--lat TEXT] [--lon TEXT] [--zoom TEXT] [--path TEXT] [--open FILE]
//               [--pano ID] [--date YYYY-MM] [--stitch] [--views N]
//               [--service current|classic|maptiles] [--quiet]
//   korvane-cli --info [--json] [--lat TEXT] [--lon TEXT] [--open FILE] [--pano ID]
//               [--date YYYY-MM] [--service current|classic|maptiles]
//   korvane-cli --retry FILE
//   korvane-cli --batch FILE.csv [--path TEXT] [--zoom TEXT] [--stitch] [--views N]
//               [--service current|classic|maptiles] [--quiet]
//   korvane-cli (--around LAT,LON --radius M [--max N] | --area FILE [--spacing M]
//               | --route FILE [--every M]) [--all-dates] [--plan-only] [--shard K/N]
//               [--map FILE.png] [--task NAME] [--path TEXT] [--zoom TEXT] [--stitch]
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
  // --pano: that panorama instead of the one nearest the point (an id IsUsablePanoId accepts).
  std::optional<std::string> PanoId;
  // --date: the capture of that month at the place ("YYYY-MM").
  std::optional<std::string> Date;
  // --info: print the panorama's record instead of downloading it; --json: as JSON.
  bool Info = false;
  bool Json = false;
  bool ShowHelp = false;
  // --stitch: after the task's end, join its tiles into one panorama (when none is missing).
  bool Combine = false;
  // --views N: after the task's end (and the combine), N views round the horizon (1..36).
  int ViewCount = 0;
  // No progress line on a terminal's standard error (--quiet).
  bool Quiet = false;
  bool ShowVersion = false;

  // Finding many panoramas (each checked by the parse; DiscoveryRequestOf converts them).
  std::optional<std::string> Around;  // "LAT,LON"
  std::optional<std::string> Radius;
  std::optional<std::string> Max;
  std::optional<std::string> AreaFile;
  std::optional<std::string> RouteFile;
  std::optional<std::string> Every;
  std::optional<std::string> Spacing;
  std::optional<std::string> Shard;  // "K/N"
  std::optional<std::string> MapFile;
  bool AllDates = false;
  bool PlanOnly = false;

  // --around, --area or --route.
  bool Discovers() const { return Around || AreaFile || RouteFile; }
};

// Parses the arguments after the program name; nothing when they are not a valid command line
// (unknown option, missing value, an option given twice, --retry with any other option, a
// --service other than current or classic in any case, a --pano that is no panorama id, a
// --date that is no YYYY-MM, --pano or --date with --batch, --info with --retry, --batch or
// --stitch, --json without --info, a value of the options that find panoramas out of its range
// or with the wrong mode), and then the reason in *reason (one line, when reason is not null).
std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string* reason = nullptr);

// What the options that find panoramas ask for (options.Discovers() and parsed by
// ParseCliOptions); the folder is the one given, the name --task or one made from the point or
// the file's name.
DiscoveryRequest DiscoveryRequestOf(const CliOptions& options, const std::string& folder);

// The service route of one start, read when that start comes (a batch reads it for each
// place, as the window does at each press of Start): the configuration's, with --service over
// its protocol.
ServiceRoute RouteForStart(const CliOptions& options);

// The wish of --pano and --date (both already checked by ParseCliOptions).
std::string PanoIdOption(const CliOptions& options);
std::optional<CaptureMonth> DateOption(const CliOptions& options);

// The usage text printed for a bad command line and for --help.
std::string CliUsage();

}  // namespace korvane
