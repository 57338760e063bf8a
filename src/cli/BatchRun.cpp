#include "cli/BatchRun.h"

#include <unistd.h>

#include <fstream>
#include <optional>
#include <vector>

#include "cli/BatchList.h"
#include "cli/BatchRows.h"
#include "cli/CombineAfterTask.h"
#include "cli/ViewsAfterTask.h"
#include "combine/TaskTiles.h"
#include "config/ProxyRequests.h"
#include "lookup/MapTilesPanoIds.h"
#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"
#include "net/MapTilesAddresses.h"
#include "platform/CsvRow.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "session/StartRules.h"

namespace korvane {
namespace {

const std::vector<std::string> SummaryColumns = {"place", "panorama id", "tiles", "failed",
                                                 "state"};

// "<folder>/<base>_summary.csv" beside the list.
std::string SummaryPathFor(const std::string& listPath) {
  return RemoveFileExt(listPath) + "_summary.csv";
}

// A task already downloaded in full: every tile of its grid on disk, nothing in its failed
// list. Anything that cannot be read counts as not finished (the start then decides).
bool TaskFinished(const std::string& taskFilePath, std::string& panoId, int& tiles) {
  if (!FileExists(taskFilePath)) return false;
  try {
    const TaskTiles task = ReadTaskTiles(taskFilePath);
    if (!MissingTilePaths(task).empty() || FailedTileCount(task) != 0) return false;
    panoId = task.PanoId;
    tiles = task.Grid.TotalCount();
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

// Prints the summary file as a table with aligned columns (two passes over the file).
void PrintSummary(const std::string& summaryPath, std::ostream& out) {
  std::vector<std::size_t> widths(SummaryColumns.size(), 0);
  auto eachRow = [&summaryPath](const auto& visit) {
    std::ifstream in(summaryPath, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<std::string> fields = SplitCsvRow(line);
      fields.resize(SummaryColumns.size());
      visit(fields);
    }
  };
  eachRow([&widths](const std::vector<std::string>& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i)
      widths[i] = std::max(widths[i], fields[i].size());
  });
  eachRow([&widths, &out](const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
      line += fields[i];
      if (i + 1 < fields.size()) line += std::string(widths[i] - fields[i].size() + 2, ' ');
    }
    out << line << '\n';
  });
  out.flush();
}

// The batch's way into the Map Tiles API when it speaks it; null otherwise.
std::shared_ptr<MapTilesAccess> BatchMapTilesAccess(const ServiceRoute& route) {
  if (ParsePanoramaProtocol(route.ProtocolName) != PanoramaProtocol::MapTiles) return nullptr;
  return std::make_shared<MapTilesAccess>(MapTilesBase(), ReadApiKey());
}

}  // namespace

BatchSummary::BatchSummary(const std::string& path) : path_(path), file_(path) {
  Add(SummaryColumns);
}

void BatchSummary::Add(const std::vector<std::string>& fields) {
  file_.Append(JoinCsvRow(fields) + "\r\n");
}

bool BatchSummary::CommitAndPrint(std::ostream& out, std::ostream& err) {
  try {
    file_.Commit();
  } catch (const FileCreateError&) {
    err << "Cannot create file " << path_ << '\n';
    return false;
  }
  PrintSummary(path_, out);
  return true;
}

BatchPlaceOutcome RunBatchPlace(const BatchOptions& options, const BatchPlace& place,
                                TApplication& app, SignalTarget& signals, std::ostream& out,
                                std::ostream& err, const StartLookupHints& known) {
  const std::string& savePath = options.SavePath;
  const std::string name = BatchTaskName(place);
  const std::string placeText = "line " + IntToStr(place.LineNumber) + ": " + name;
  const std::string taskFile = IncludeTrailingPathDelimiter(savePath) + TaskFileNameFor(name);

  BatchPlaceOutcome result;
  std::string panoId;
  int tiles = 0;
  if (!savePath.empty() && TaskFinished(taskFile, panoId, tiles)) {
    result.SummaryRow = {placeText, panoId, IntToStr(tiles), "0", "finished before"};
    result.Complete = result.Started = true;
    return result;
  }
  out << "== " << placeText << '\n' << std::flush;
  StartRequest request{name, place.Latitude, place.Longitude,
                       place.Zoom.empty() ? options.Zoom : place.Zoom, savePath};
  request.Service = options.Route();
  request.Date = place.Date;
  request.Known = known;
  request.PanoId = place.PanoId;
  // Each place's line measures its own speed.
  std::optional<ProgressLine> progress;
  if (ProgressLine::WantedOn(STDERR_FILENO, options.Quiet)) progress.emplace(STDERR_FILENO);
  const CliTaskOutcome outcome =
      RunCliTask(request, app, signals, out, progress ? &*progress : nullptr);
  result.Billed = outcome.MapTilesRequests;
  result.Stopped = outcome.StopRequested;
  if (!outcome.Started) {
    result.SummaryRow = {placeText, "", "", "", outcome.StopRequested ? "stopped" : "not started"};
    result.Status = outcome.StopRequested ? ExitStatus::Incomplete : ExitStatus::Error;
    return result;
  }
  result.Started = true;
  result.Complete = outcome.Complete();
  const std::string state =
      result.Stopped ? "stopped" : (outcome.Failed > 0 ? "ended with failed tiles" : "done");
  result.SummaryRow = {placeText, outcome.PanoId, IntToStr(outcome.Total), IntToStr(outcome.Failed),
                       state};
  result.Status = outcome.Status();
  if (options.Combine && !result.Stopped && outcome.Ended)
    result.Status = Worse(result.Status, CombineEndedTask(outcome.TaskFilePath, out, err));
  if (options.ViewCount > 0 && !result.Stopped && outcome.Ended)
    result.Status =
        Worse(result.Status, ViewsOfEndedTask(outcome.TaskFilePath, options.ViewCount, out, err));
  return result;
}

ExitStatus RunBatch(const BatchOptions& options, TApplication& app, SignalTarget& signals,
                    std::ostream& out, std::ostream& err) {
  const std::string& listPath = options.ListPath;
  std::ifstream list(listPath, std::ios::binary);
  if (!list) {
    err << "Cannot open file " << listPath << '\n';
    return ExitStatus::Error;
  }
  const std::string summaryPath = SummaryPathFor(listPath);
  std::optional<BatchSummary> summary;
  try {
    summary.emplace(summaryPath);
  } catch (const FileCreateError&) {
    err << "Cannot create file " << summaryPath << '\n';
    return ExitStatus::Error;
  }

  ExitStatus status = ExitStatus::Complete;
  MapTilesRequestCounts billed;
  BatchListReader reader(list);
  // The Map Tiles API: one session for the whole batch, and the places' panoramas found a
  // hundred at a time.
  const std::shared_ptr<MapTilesAccess> mapTiles = BatchMapTilesAccess(options.Route());
  HttpClient idClient;
  BatchRows::FindPanoramas findPanoramas;
  if (mapTiles) {
    try {
      ApplyProxySettings(options.Route().Proxy, idClient.Request);
      findPanoramas = [&](const std::vector<GeoPoint>& points) {
        return LookUpPanoIds(*mapTiles, idClient, points,
                             [&out](const std::string& line) { out << line << '\n'; });
      };
    } catch (const EConvertError&) {
      // Each place's start reports the proxy port.
    }
  }
  BatchRows rows(reader, findPanoramas);
  while (const std::optional<BatchRows::Item> item = rows.Next()) {
    const BatchListReader::Row* const row = &item->Row;
    if (row->Error) {
      err << "line " << row->Error->LineNumber << ": " << row->Error->Reason << '\n';
      summary->Add({"line " + IntToStr(row->Error->LineNumber), "", "", "", "bad row"});
      status = Worse(status, ExitStatus::Error);
      continue;
    }
    const BatchPlaceOutcome outcome =
        RunBatchPlace(options, *row->Place, app, signals, out, err, {mapTiles, item->PanoId});
    summary->Add(outcome.SummaryRow);
    billed += outcome.Billed;
    status = Worse(status, outcome.Status);
    if (outcome.Stopped) break;  // no further place
  }
  if (!summary->CommitAndPrint(out, err)) return ExitStatus::Error;
  // A batch of the Map Tiles API sent everything through its one session.
  if (mapTiles) billed = mapTiles->Counts();
  if (billed.Any()) out << BillingLine(billed) << '\n';
  return status;
}

}  // namespace korvane
