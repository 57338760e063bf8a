#include "cli/PlanRun.h"

#include <cstdio>

#include "combine/PanoramaCombiner.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "session/StartRules.h"

namespace korvane {
namespace {

// The start rules read the coordinates as typed texts; seven decimals keep the position.
std::string CoordinateText(double degrees) {
  char text[32];
  std::snprintf(text, sizeof text, "%.7f", degrees);
  return text;
}

PlanState StateAfter(const BatchPlaceOutcome& outcome) {
  if (outcome.Complete) return PlanState::Done;
  if (outcome.Stopped) return PlanState::Stopped;
  if (!outcome.Started) return PlanState::Failed;
  return PlanState::Incomplete;
}

}  // namespace

DownloadPanorama BatchDownload(const BatchOptions& options, TApplication& app,
                               SignalTarget& signals, std::ostream& out, std::ostream& err) {
  return [options, &app, &signals, &out, &err](std::size_t rowIndex, const PlanRow& row) {
    BatchPlace place{static_cast<int>(rowIndex) + 2,  // the plan file's line (after its header)
                     CoordinateText(row.Latitude), CoordinateText(row.Longitude), row.PanoId, ""};
    const std::optional<PanoramaProtocol> protocol =
        ParsePanoramaProtocol(options.Route().ProtocolName);
    if (protocol && OffersLookupById(*protocol)) place.PanoId = row.PanoId;
    return RunBatchPlace(options, place, app, signals, out, err);
  };
}

PanoramaFilesOf FilesInFolder(const std::string& folder) {
  return [folder](const PlanRow& row) {
    PanoramaFiles files;
    files.TaskFile = IncludeTrailingPathDelimiter(folder) + TaskFileNameFor(row.PanoId);
    const std::string picture = DefaultPanoramaPath(files.TaskFile);
    if (FileExists(picture)) files.Picture = picture;
    return files;
  };
}

bool WritePlanOutputs(const PlanRunPaths& paths, const PanoramaPlan& plan,
                      const PanoramaFilesOf& filesOf, std::ostream& err) {
  try {
    WritePlanGeoJson(paths.GeoJson, plan, filesOf);
    if (paths.Map) WritePlanMap(*paths.Map, plan);
  } catch (const Exception& error) {
    err << error.Message() << '\n';
    return false;
  }
  return true;
}

ExitStatus RunPlan(const PlanRunPaths& paths, PanoramaPlan& plan, const DownloadPanorama& download,
                   const PanoramaFilesOf& filesOf, std::ostream& out, std::ostream& err) {
  std::optional<PlanStateUpdater> states;
  std::optional<BatchSummary> summary;
  try {
    states.emplace(paths.Plan, plan);
    summary.emplace(paths.Summary);
  } catch (const FileCreateError& error) {
    err << error.Message() << '\n';
    return ExitStatus::Error;
  }
  ExitStatus status = ExitStatus::Complete;
  for (std::size_t i = 0; i < plan.size(); ++i) {
    PlanRow& row = plan[i];
    if (row.State == PlanState::Done) {
      summary->Add({"line " + IntToStr(static_cast<long long>(i) + 2) + ": " + row.PanoId,
                    row.PanoId, "", "", "done before"});
      continue;
    }
    const BatchPlaceOutcome outcome = download(i, row);
    row.State = StateAfter(outcome);
    try {
      states->Set(i, row.State);
    } catch (const FileCreateError& error) {
      err << error.Message() << '\n';
      return ExitStatus::Error;
    }
    summary->Add(outcome.SummaryRow);
    status = Worse(status, outcome.Status);
    if (!outcome.Complete) status = Worse(status, ExitStatus::Incomplete);
    if (outcome.Stopped) break;
  }
  if (!summary->CommitAndPrint(out, err)) return ExitStatus::Error;
  if (!WritePlanOutputs(paths, plan, filesOf, err)) return ExitStatus::Error;
  for (const PlanRow& row : plan)
    if (row.State != PlanState::Done) status = Worse(status, ExitStatus::Incomplete);
  return status;
}

}  // namespace korvane
