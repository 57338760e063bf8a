#include "korvane-cli/CliOptions.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <filesystem>

#include "discover/DiscoverLimits.h"
#include "platform/NumberFormat.h"
#include "task/PanoIdCheck.h"
#include "task/PanoramaProtocol.h"
#include "task/PanoramaRecordFile.h"
#include "views/ViewArguments.h"

namespace korvane {
namespace {

std::optional<double> NumberIn(const std::string& text, double low, double high) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value) || value < low || value > high)
    return std::nullopt;
  return value;
}

std::optional<GeoPoint> PointOf(const std::string& text) {
  const std::size_t comma = text.find(',');
  if (comma == std::string::npos) return std::nullopt;
  const std::optional<double> latitude = NumberIn(text.substr(0, comma), -90, 90);
  const std::optional<double> longitude = NumberIn(text.substr(comma + 1), -180, 180);
  if (!latitude || !longitude) return std::nullopt;
  return GeoPoint{*latitude, *longitude};
}

std::string Metres(double value) {
  return IntToStr(static_cast<long long>(value));
}

// The options that find panoramas: one mode, its own options only, each value in its range.
// Empty when they are fine, else the reason.
std::string DiscoveryProblem(const CliOptions& options) {
  const int modes =
      (options.Around ? 1 : 0) + (options.AreaFile ? 1 : 0) + (options.RouteFile ? 1 : 0);
  if (modes == 0) {
    if (options.Radius || options.Max || options.Every || options.Spacing || options.Shard ||
        options.MapFile || options.AllDates || options.PlanOnly)
      return "--radius, --max, --every, --spacing, --shard, --map, --all-dates and --plan-only "
             "go with --around, --area or --route";
    return "";
  }
  if (modes > 1) return "only one of --around, --area and --route";
  if (options.Latitude || options.Longitude || options.OpenFile || options.BatchFile ||
      options.PanoId || options.Date || options.Info)
    return "--around, --area and --route take no --lat, --lon, --open, --batch, --pano, --date "
           "or --info";
  if (options.Around) {
    if (!PointOf(*options.Around))
      return "--around needs LAT,LON (latitude -90..90, longitude -180..180)";
    if (!options.Radius) return "--around needs --radius";
    if (!NumberIn(*options.Radius, 0, MaxAroundRadiusMetres) ||
        *NumberIn(*options.Radius, 0, MaxAroundRadiusMetres) <= 0)
      return "--radius needs metres above 0 and up to " + Metres(MaxAroundRadiusMetres);
    if (options.Max) {
      const std::optional<double> max = NumberIn(*options.Max, 1, static_cast<double>(MaxPlanRows));
      if (!max || *max != std::floor(*max))
        return "--max needs a whole number from 1 to " +
               IntToStr(static_cast<long long>(MaxPlanRows));
    }
  } else if (options.Radius || options.Max) {
    return "--radius and --max go with --around";
  }
  if (options.Spacing) {
    if (!options.AreaFile) return "--spacing goes with --area";
    if (!NumberIn(*options.Spacing, MinSeedSpacingMetres, MaxSeedSpacingMetres))
      return "--spacing needs metres from " + Metres(MinSeedSpacingMetres) + " to " +
             Metres(MaxSeedSpacingMetres);
  }
  if (options.Every) {
    if (!options.RouteFile) return "--every goes with --route";
    if (!NumberIn(*options.Every, MinRouteStepMetres, MaxRouteStepMetres))
      return "--every needs metres from " + Metres(MinRouteStepMetres) + " to " +
             Metres(MaxRouteStepMetres);
  }
  if (options.Shard && !ParsePlanShard(*options.Shard))
    return "--shard needs K/N with 1 <= K <= N <= " + IntToStr(MaxShards);
  if (options.MapFile) {
    std::string extension = std::filesystem::path(*options.MapFile).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension != ".png") return "--map writes a PNG picture: give a FILE.png";
  }
  return "";
}

}  // namespace

std::optional<CliOptions> ParseCliOptions(const std::vector<std::string>& arguments,
                                          std::string* reason) {
  CliOptions options;
  auto refuse = [reason](std::string why) -> std::optional<CliOptions> {
    if (reason) *reason = std::move(why);
    return std::nullopt;
  };
  const std::pair<const char*, std::optional<std::string> CliOptions::*> valued[] = {
      {"--task", &CliOptions::Task},       {"--lat", &CliOptions::Latitude},
      {"--lon", &CliOptions::Longitude},   {"--zoom", &CliOptions::Zoom},
      {"--path", &CliOptions::Path},       {"--open", &CliOptions::OpenFile},
      {"--retry", &CliOptions::RetryFile}, {"--batch", &CliOptions::BatchFile},
      {"--service", &CliOptions::Service}, {"--pano", &CliOptions::PanoId},
      {"--date", &CliOptions::Date},       {"--around", &CliOptions::Around},
      {"--radius", &CliOptions::Radius},   {"--max", &CliOptions::Max},
      {"--area", &CliOptions::AreaFile},   {"--route", &CliOptions::RouteFile},
      {"--every", &CliOptions::Every},     {"--spacing", &CliOptions::Spacing},
      {"--shard", &CliOptions::Shard},     {"--map", &CliOptions::MapFile},
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
    if (argument == "--views") {
      const auto count =
          i + 1 < arguments.size() ? ParseViewCountArgument(arguments[++i]) : std::nullopt;
      if (!count || options.ViewCount > 0) return refuse("--views takes one count of views");
      options.ViewCount = *count;
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
    if (argument == "--info" || argument == "--json") {
      (argument == "--info" ? options.Info : options.Json) = true;
      continue;
    }
    if (argument == "--all-dates") {
      options.AllDates = true;
      continue;
    }
    if (argument == "--plan-only") {
      options.PlanOnly = true;
      continue;
    }
    bool known = false;
    for (const auto& [name, member] : valued) {
      if (argument != name) continue;
      known = true;
      if (i + 1 >= arguments.size()) return refuse(argument + " needs a value");
      if ((options.*member).has_value()) return refuse(argument + " is given twice");
      options.*member = arguments[++i];
    }
    if (!known) return refuse("unknown option " + argument);
  }
  if (options.RetryFile &&
      (options.Task || options.Latitude || options.Longitude || options.Zoom || options.Path ||
       options.OpenFile || options.Combine || options.BatchFile || options.Service ||
       options.PanoId || options.Date || options.ViewCount > 0 || options.Discovers())) {
    return refuse("--retry takes no other option");
  }
  // A batch names its places itself; only the folder and the default zoom apply to all.
  if (options.BatchFile &&
      (options.Task || options.Latitude || options.Longitude || options.OpenFile)) {
    return refuse("--batch takes no --task, --lat, --lon or --open");
  }
  if (options.Service && !ParsePanoramaProtocol(*options.Service))
    return refuse("--service is current, classic or maptiles");
  if (options.PanoId && !IsUsablePanoId(*options.PanoId))
    return refuse("--pano takes a panorama id");
  if (options.Date && !ParseCaptureMonth(*options.Date)) return refuse("--date is YYYY-MM");
  if (options.BatchFile && (options.PanoId || options.Date))
    return refuse("--pano and --date name one panorama, not a batch");
  if (options.Info &&
      (options.RetryFile || options.BatchFile || options.Combine || options.ViewCount > 0))
    return refuse("--info only looks up: no --retry, --batch, --stitch or --views");
  if (options.Json && !options.Info) return refuse("--json goes with --info");
  if (std::string problem = DiscoveryProblem(options); !problem.empty()) return refuse(problem);
  return options;
}

DiscoveryRequest DiscoveryRequestOf(const CliOptions& options, const std::string& folder) {
  DiscoveryRequest request;
  request.Folder = folder;
  request.AllDates = options.AllDates;
  request.PlanOnly = options.PlanOnly;
  if (options.Shard) request.Shard = ParsePlanShard(*options.Shard);
  request.MapPath = options.MapFile;
  std::string name;
  if (options.Around) {
    request.Walk = DiscoveryRequest::Kind::Around;
    request.Centre = *PointOf(*options.Around);
    request.RadiusMetres = *NumberIn(*options.Radius, 0, MaxAroundRadiusMetres);
    if (options.Max) request.MaxCount = static_cast<std::size_t>(*NumberIn(*options.Max, 1, 1e9));
    name = "around_" + *options.Around;
    std::replace(name.begin(), name.end(), ',', '_');
  } else {
    const bool area = options.AreaFile.has_value();
    request.Walk = area ? DiscoveryRequest::Kind::Area : DiscoveryRequest::Kind::Route;
    request.ShapeFile = area ? *options.AreaFile : *options.RouteFile;
    request.SpacingMetres =
        options.Spacing ? *NumberIn(*options.Spacing, 0, 1e9) : DefaultSeedSpacingMetres;
    request.StepMetres = options.Every ? *NumberIn(*options.Every, 0, 1e9) : DefaultRouteStepMetres;
    name = std::filesystem::path(request.ShapeFile).stem().string();
  }
  request.Name = options.Task && !options.Task->empty() ? *options.Task : name;
  return request;
}

ServiceRoute RouteForStart(const CliOptions& options) {
  ServiceRoute route = ReadServiceRoute();
  if (options.Service) route.ProtocolName = *options.Service;
  return route;
}

std::string PanoIdOption(const CliOptions& options) {
  return options.PanoId.value_or("");
}

std::optional<CaptureMonth> DateOption(const CliOptions& options) {
  return options.Date ? ParseCaptureMonth(*options.Date) : std::nullopt;
}

std::string CliUsage() {
  return "usage: korvane-cli [--task TEXT] [--lat TEXT] [--lon TEXT] [--zoom TEXT] [--path TEXT]"
         " [--open FILE]\n"
         "                   [--pano ID] [--date YYYY-MM] [--stitch] [--views N]\n"
         "                   [--service current|classic|maptiles] [--quiet]\n"
         "       korvane-cli --info [--json] [--lat TEXT] [--lon TEXT] [--open FILE] [--pano "
         "ID]\n"
         "                   [--date YYYY-MM] [--service current|classic|maptiles]\n"
         "       korvane-cli --retry FILE\n"
         "       korvane-cli --batch FILE.csv [--path TEXT] [--zoom TEXT] [--stitch] [--views "
         "N]\n"
         "                   [--service ...]\n"
         "                   [--quiet]\n"
         "       korvane-cli (--around LAT,LON --radius M [--max N] | --area FILE [--spacing M]\n"
         "                   | --route FILE [--every M]) [--all-dates] [--plan-only] [--shard "
         "K/N]\n"
         "                   [--map FILE.png] [--task NAME] [--path TEXT] [--zoom TEXT] "
         "[--stitch] ...\n"
         "       korvane-cli --help | --version\n"
         "\n"
         "Downloads the tiles of the Street View panorama at a point, as the main window's "
         "Start\n"
         "does. Each TEXT goes into its box exactly as typed; an omitted box keeps the value "
         "the\n"
         "window shows at start-up. --lat also takes a map link (.../@LAT,LON,...) or a pair\n"
         "\"LAT, LON\", which fills both coordinates. --open fills the boxes from a task file\n"
         "first. --retry fetches the tiles of a failed-tile list again. --stitch joins the\n"
         "tiles into one panorama beside the task file once the task has ended, when no tile\n"
         "is missing. --views N then makes N ordinary pictures evenly round the horizon beside\n"
         "it (TASK_view_HEADING.jpg, as mosaicker --views N).\n"
         "--pano downloads that panorama instead of the one nearest the point (also a map link\n"
         "with !1s<ID> in --lat); --date the capture of that month at the place, or the nearest\n"
         "month's. --info prints what the service tells of the panorama (position, heading,\n"
         "date, copyright, neighbours, other dates) without downloading it; --json as the\n"
         "<task>.json a download writes beside its task file.\n"
         "--batch runs one task per place of a list (rows lat,lon[,name[,zoom[,YYYY-MM]]];\n"
         "# comments),\n"
         "skips finished ones, continues unfinished ones, and writes a summary to\n"
         "<list>_summary.csv and standard output.\n"
         "--around, --area (GeoJSON polygons) and --route (GPX or a GeoJSON line) find the\n"
         "panoramas around a point, inside an area or along a route, write the plan\n"
         "<name>_plan.csv first (--plan-only stops there), then download each as a batch does;\n"
         "a second run continues the plan. --all-dates adds every other date of each place;\n"
         "--shard K/N takes the K-th of N disjoint parts; <name>.geojson shows the result in a\n"
         "GIS and --map FILE.png draws it. A bad area or route file ends with status 2.\n"
         "--service speaks that Street View protocol for this run instead of the one in\n"
         "config.ini; maptiles is the billed Map Tiles API with the key of KORVANE_API_KEY\n"
         "or [Service] ApiKey.\n"
         "Log lines go to standard output, messages to standard error; on a terminal, standard\n"
         "error also shows the progress (tiles done, failed, speed, time left) unless --quiet.\n"
         "Exit status: 0 complete (every tile in; every listed tile re-downloaded), 1 error "
         "(Start\n"
         "ended with a message, a list or file could not be read or written, the panorama\n"
         "could not be made, a bad batch row), 2 bad command line, 3 incomplete (tiles failed,\n"
         "substituted or left by a stop; a batch place not downloaded in full). SIGINT or\n"
         "SIGTERM stops the task and waits for its end. See man korvane-cli for more.\n";
}

}  // namespace korvane
