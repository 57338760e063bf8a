#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/BatchList.h"
#include "cli/CliTaskRun.h"
#include "platform/ExitStatus.h"
#include "platform/FileSystem.h"
#include "session/StartRequest.h"
#include "ui/TApplication.h"

namespace korvane {

// What korvane-cli --batch is asked for.
struct BatchOptions {
  std::string ListPath;
  std::string SavePath;  // the folder the places' tasks go into
  std::string Zoom;      // the zoom box's text for rows without a zoom
  bool Combine = false;  // --stitch: combine each task that ends complete
  int ViewCount = 0;     // --views N: views of each task that ends complete
  bool Quiet = false;    // no progress line
  // The service route of each place's start, asked afresh for every place as Start reads the
  // configuration at every press.
  std::function<ServiceRoute()> Route = ReadServiceRoute;
};

// korvane-cli --batch FILE: one task per place of the list, one after another, into SavePath,
// with Zoom for rows without a zoom. A task whose
// tiles are all on disk with an empty failed-tile list is skipped as finished; any other task
// of a place starts or continues as the main window's Start would. A bad row is reported on
// err with its line number and the batch goes on. A stop signal stops the current task as Stop
// does and ends the batch; running it again continues where it stopped.
//
// Each place's row goes to "<list base>_summary.csv" as soon as its task has ended, and the
// whole summary is printed on out at the end, read back from that file: the memory a batch
// needs does not grow with the length of the list.
//
// With --stitch, each task that ends complete is combined into its panorama.
//
// Speaking the Map Tiles API, the batch opens one session for all its places and finds their
// panoramas a hundred at a time with one panoIds request (BatchRows); a place with no panorama
// there costs no further request, the others their metadata and tiles. The end of the output
// says how many requests of each kind the batch sent.
//
// Returns Complete when every place is downloaded in full (now or before), Error when a row was
// bad, a task could not start, the list cannot be read or the summary not written (or a
// panorama not made), else Incomplete (a place ended with failed or substituted tiles, or the
// batch was stopped).
ExitStatus RunBatch(const BatchOptions& options, TApplication& app, SignalTarget& signals,
                    std::ostream& out, std::ostream& err);

// How one place of a batch ended.
struct BatchPlaceOutcome {
  std::vector<std::string> SummaryRow;  // its row of the summary
  ExitStatus Status = ExitStatus::Complete;
  bool Complete = false;         // every tile in, now or before
  bool Started = false;          // its task started (or was finished before)
  bool Stopped = false;          // a stop came: the batch ends after this place
  MapTilesRequestCounts Billed;  // its requests to the Map Tiles API
};

// One place of a batch as RunBatch runs it: skipped when its task was finished before, else
// started or continued, then combined with --stitch. A batch of the Map Tiles API hands over
// its session and the place's panorama as its panoIds request found it (known).
BatchPlaceOutcome RunBatchPlace(const BatchOptions& options, const BatchPlace& place,
                                TApplication& app, SignalTarget& signals, std::ostream& out,
                                std::ostream& err, const StartLookupHints& known = {});

// A batch's summary file, "place,panorama id,tiles,failed,state", written row by row as the
// places end and put in place at the end (FileReplacement); then printed as a table.
class BatchSummary {
 public:
  // Raises FileCreateError when the file cannot be made.
  explicit BatchSummary(const std::string& path);
  void Add(const std::vector<std::string>& fields);
  // Puts the file in place and prints it on out; false (and "Cannot create file PATH" on err)
  // when it cannot be written.
  bool CommitAndPrint(std::ostream& out, std::ostream& err);

 private:
  std::string path_;
  FileReplacement file_;
};

}  // namespace korvane
