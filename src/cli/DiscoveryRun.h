#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "cli/PlanRun.h"
#include "discover/PanoramaFinder.h"
#include "discover/PanoramaPlan.h"
#include "lookup/GeoMetric.h"

namespace korvane {

// What korvane-cli is asked to find: around a point, inside an area or along a route.
struct DiscoveryRequest {
  enum class Kind { Around, Area, Route };
  Kind Walk = Kind::Around;
  GeoPoint Centre;           // --around
  double RadiusMetres = 0;   // --radius
  std::size_t MaxCount = 0;  // --max (0: no limit but the plan's)
  std::string ShapeFile;     // --area or --route
  double SpacingMetres = 0;  // --spacing
  double StepMetres = 0;     // --every
  bool AllDates = false;     // --all-dates
  bool PlanOnly = false;     // --plan-only
  std::optional<PlanShard> Shard;
  std::string Folder;  // where the plan, its outputs and the tasks go
  std::string Name;    // the plan's name
  std::optional<std::string> MapPath;
};

// korvane-cli --around / --area / --route. The area or route file is checked first (a bad one:
// its one line on err, BadCommandLine, nothing written). Then the plan: the shard's part or the
// plan when already there (a run continues it), else the plan from the walk over finder,
// written whole before anything is downloaded (with --shard, the whole plan and the part).
// With --plan-only the plan's GeoJSON and map are written and the run ends; else RunPlan
// works through it with download. A finder that raises FinderStopped ends the run as
// Incomplete with no plan written.
ExitStatus RunDiscovery(const DiscoveryRequest& request, PanoramaFinder& finder,
                        const DownloadPanorama& download, std::ostream& out, std::ostream& err);

// The paths of the plan's run for the request.
PlanRunPaths PlanRunPathsFor(const DiscoveryRequest& request);

}  // namespace korvane
