#include "korvane-cli/CliOptions.h"

#include "task/PanoramaProtocol.h"

namespace korvane {

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments) {
  CliOptions options;
  const std::pair<const char*, std::optional<std::string> CliOptions::*> valued[] = {
      {"--task", &CliOptions::Task},       {"--lat", &CliOptions::Latitude},
      {"--lon", &CliOptions::Longitude},   {"--zoom", &CliOptions::Zoom},
      {"--path", &CliOptions::Path},       {"--open", &CliOptions::OpenFile},
      {"--retry", &CliOptions::RetryFile}, {"--batch", &CliOptions::BatchFile},
      {"--service", &CliOptions::Service},
  };
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--help" || argument == "-h") {
      options.ShowHelp = true;
      continue;
    }
    if (argument == "--stitch") {
      options.Combine = true;
      continue;
    }
    if (argument == "--quiet" || argument == "-q") {
      options.Quiet = true;
      continue;
    }
    if (argument == "--version") {
      options.ShowVersion = true;
      continue;
    }
    bool known = false;
    for (const auto& [name, member] : valued) {
      if (argument != name) continue;
      known = true;
      if (i + 1 >= arguments.size() || (options.*member).has_value()) return std::nullopt;
      options.*member = arguments[++i];
    }
    if (!known) return std::nullopt;
  }
  if (options.RetryFile &&
      (options.Task || options.Latitude || options.Longitude || options.Zoom || options.Path ||
       options.OpenFile || options.Combine || options.BatchFile || options.Service)) {
    return std::nullopt;
  }
  // A batch names its places itself; only the folder and the default zoom apply to all.
  if (options.BatchFile &&
      (options.Task || options.Latitude || options.Longitude || options.OpenFile)) {
    return std::nullopt;
  }
  if (options.Service && !ParsePanoramaProtocol(*options.Service)) return std::nullopt;
  return options;
}

ServiceRoute RouteForStart(const CliOptions& options) {
  ServiceRoute route = ReadServiceRoute();
  if (options.Service) route.ProtocolName = *options.Service;
  return route;
}

std::string CliUsage() {
  return "usage: korvane-cli [--task TEXT] [--lat TEXT] [--lon TEXT] [--zoom TEXT] [--path TEXT]"
         " [--open FILE]\n"
         "                   [--stitch] [--service current|classic|maptiles] [--quiet]\n"
         "       korvane-cli --retry FILE\n"
         "       korvane-cli --batch FILE.csv [--path TEXT] [--zoom TEXT] [--stitch] [--service "
         "...]\n"
         "                   [--quiet]\n"
         "       korvane-cli --help | --version\n"
         "\n"
         "Downloads the tiles of the Street View panorama at a point, as the main window's Start\n"
         "does. Each TEXT goes into its box exactly as typed; an omitted box keeps the value the\n"
         "window shows at start-up. --lat also takes a map link (.../@LAT,LON,...) or a pair\n"
         "\"LAT, LON\", which fills both coordinates. --open fills the boxes from a task file\n"
         "first. --retry fetches the tiles of a failed-tile list again. --stitch joins the\n"
         "tiles into one panorama beside the task file once the task has ended, when no tile\n"
         "is missing.\n"
         "--batch runs one task per place of a list (rows lat,lon[,name[,zoom]]; # comments),\n"
         "skips finished ones, continues unfinished ones, and writes a summary to\n"
         "<list>_summary.csv and standard output.\n"
         "--service speaks that Street View protocol for this run instead of the one in\n"
         "config.ini; maptiles is the billed Map Tiles API with the key of KORVANE_API_KEY\n"
         "or [Service] ApiKey.\n"
         "Log lines go to standard output, messages to standard error; on a terminal, standard\n"
         "error also shows the progress (tiles done, failed, speed, time left) unless --quiet.\n"
         "Exit status: 0 complete (every tile in; the re-download finished), 1 error (Start\n"
         "ended with a message, a list or file could not be read or written, the panorama\n"
         "could not be made, a bad batch row), 2 bad command line, 3 incomplete (tiles failed,\n"
         "substituted or left by a stop; a batch place not downloaded in full). SIGINT or\n"
         "SIGTERM stops the task and waits for its end. See man korvane-cli for more.\n";
}

}  // namespace korvane
