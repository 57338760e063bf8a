#include "cli/DiscoveryRun.h"

#include <variant>

#include "discover/DiscoverLimits.h"
#include "discover/ShapeFiles.h"
#include "discover/Walks.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "platform/PrintableText.h"
#include "session/StartRules.h"

namespace korvane {
namespace {

using Shape = std::variant<std::monostate, GeoArea, GeoRoute>;

// The shape of --area or --route, refused (ShapeFileError) when its walk would plan more than
// MaxPlannedLookups lookups.
Shape ReadShape(const DiscoveryRequest& request) {
  const std::string tooMany = ": the walk would need more than " +
                              IntToStr(static_cast<long long>(MaxPlannedLookups)) + " lookups; ";
  switch (request.Walk) {
    case DiscoveryRequest::Kind::Area: {
      GeoArea area = ReadAreaFile(request.ShapeFile);
      if (SeedGridBoxPoints(area, request.SpacingMetres) > MaxPlannedLookups)
        throw ShapeFileError(PrintableText(request.ShapeFile) + tooMany +
                             "use a larger --spacing or a smaller area");
      return area;
    }
    case DiscoveryRequest::Kind::Route: {
      GeoRoute route = ReadRouteFile(request.ShapeFile);
      if (RouteSteps(route, request.StepMetres) > MaxPlannedLookups)
        throw ShapeFileError(PrintableText(request.ShapeFile) + tooMany +
                             "use a larger --every or a shorter route");
      return route;
    }
    case DiscoveryRequest::Kind::Around:
      break;
  }
  return {};
}

FoundPanoramas Walk(const DiscoveryRequest& request, const Shape& shape, PanoramaFinder& finder) {
  FoundPanoramas found;
  switch (request.Walk) {
    case DiscoveryRequest::Kind::Around:
      found = FindAround(finder, request.Centre, request.RadiusMetres,
                         request.MaxCount == 0 ? MaxPlanRows : request.MaxCount);
      break;
    case DiscoveryRequest::Kind::Area:
      found = FindInArea(finder, std::get<GeoArea>(shape), request.SpacingMetres);
      break;
    case DiscoveryRequest::Kind::Route:
      found = FindAlongRoute(finder, std::get<GeoRoute>(shape), request.StepMetres);
      break;
  }
  return request.AllDates ? AddOtherDates(finder, found) : found;
}

// The plan to work through: the one on disk, or a new one from the walk, written first.
PanoramaPlan PlanFor(const DiscoveryRequest& request, const Shape& shape, PanoramaFinder& finder,
                     std::ostream& out) {
  const std::string path = PlanPathFor(request.Folder, request.Name, request.Shard);
  if (FileExists(path)) {
    PanoramaPlan plan = ReadPlan(path);
    out << "Continuing plan " << path << '\n';
    return plan;
  }
  const std::string wholePath = PlanPathFor(request.Folder, request.Name, std::nullopt);
  PanoramaPlan plan;
  if (request.Shard && FileExists(wholePath)) {
    plan = ReadPlan(wholePath);
  } else {
    plan = PlanOf(Walk(request, shape, finder));
    WritePlan(wholePath, plan);
    out << "Plan " << wholePath << ": " << plan.size() << " panoramas\n";
  }
  if (request.Shard) {
    plan = PlanPart(plan, *request.Shard);
    WritePlan(path, plan);
    out << "Part " << request.Shard->Index << " of " << request.Shard->Count << ": " << path << ": "
        << plan.size() << " panoramas\n";
  }
  // Read back: the run works through what the file holds.
  return ReadPlan(path);
}

}  // namespace

PlanRunPaths PlanRunPathsFor(const DiscoveryRequest& request) {
  const std::string plan = PlanPathFor(request.Folder, request.Name, request.Shard);
  const std::string base = plan.substr(0, plan.size() - std::string("_plan.csv").size());
  return {plan, base + "_summary.csv", base + ".geojson", request.MapPath};
}

ExitStatus RunDiscovery(const DiscoveryRequest& request, PanoramaFinder& finder,
                        const DownloadPanorama& download, std::ostream& out, std::ostream& err) {
  Shape shape;
  try {
    shape = ReadShape(request);
  } catch (const ShapeFileError& error) {
    err << error.Message() << '\n';
    return ExitStatus::BadCommandLine;
  }
  // The plan goes into the folder first, so it is made here as a task's start would make it.
  if (!DirectoryExists(request.Folder) && !CreateDir(request.Folder)) {
    err << CreateDirectoryFailedMessage(request.Folder) << '\n';
    return ExitStatus::Error;
  }
  PanoramaPlan plan;
  try {
    plan = PlanFor(request, shape, finder, out);
  } catch (const FinderStopped& stopped) {
    err << stopped.Message() << '\n';
    return ExitStatus::Incomplete;
  } catch (const Exception& error) {
    err << error.Message() << '\n';
    return ExitStatus::Error;
  }
  out << std::flush;
  const PlanRunPaths paths = PlanRunPathsFor(request);
  const PanoramaFilesOf filesOf = FilesInFolder(request.Folder);
  if (request.PlanOnly)
    return WritePlanOutputs(paths, plan, filesOf, err) ? ExitStatus::Complete : ExitStatus::Error;
  return RunPlan(paths, plan, download, filesOf, out, err);
}

}  // namespace korvane
