#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "cli/BatchRun.h"
#include "discover/PanoramaPlan.h"
#include "discover/PlanOutputs.h"
#include "platform/ExitStatus.h"

namespace korvane {

// Downloads one panorama of the plan as one task of the batch and tells how it ended. Every
// download of a plan goes through this one function.
using DownloadPanorama = std::function<BatchPlaceOutcome(std::size_t rowIndex, const PlanRow&)>;

// The batch's download of a plan row: a task named after the panorama's id, started by that id
// (the place is not looked up again), with the batch options' folder, zoom, --stitch and
// --views. Over a protocol without a lookup by id (classic) the task starts at the panorama's
// position instead, where the lookup answers that panorama, the nearest.
DownloadPanorama BatchDownload(const BatchOptions& options, TApplication& app,
                               SignalTarget& signals, std::ostream& out, std::ostream& err);

// The files of a panorama of the plan in the folder: its task file and the stitched picture
// beside it, when made.
PanoramaFilesOf FilesInFolder(const std::string& folder);

// Where a plan's run writes.
struct PlanRunPaths {
  std::string Plan;                // "<name>_plan.csv", already written whole
  std::string Summary;             // "<name>_summary.csv"
  std::string GeoJson;             // "<name>.geojson"
  std::optional<std::string> Map;  // --map
};

// Works through the plan's rows not yet done, in order: each is downloaded, and its state set
// in the plan file as soon as it has ended, so a run stopped or killed at any point continues
// where it was on the next start. A stop ends the run after the current panorama. Then the
// summary (rows done before included), the GeoJSON and the map (with --map) are written.
// Returns Complete when every row is done, Incomplete when some are not, Error when a task
// could not start or a file not be written.
ExitStatus RunPlan(const PlanRunPaths& paths, PanoramaPlan& plan, const DownloadPanorama& download,
                   const PanoramaFilesOf& filesOf, std::ostream& out, std::ostream& err);

// Writes the GeoJSON and, when asked, the map of the plan; false (the reason on err) when one
// cannot be written.
bool WritePlanOutputs(const PlanRunPaths& paths, const PanoramaPlan& plan,
                      const PanoramaFilesOf& filesOf, std::ostream& err);

}  // namespace korvane
