#pragma once

#include <ostream>

#include "app/CliOptions.h"
#include "app/CliTaskRun.h"
#include "ui/TApplication.h"

namespace korvane {

// korvane-cli --batch FILE: one task per place of the list, one after another, into --path
// (or the default folder), with --zoom (or the default) for rows without a zoom. A task whose
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
// Returns 0 when every place ended or was finished before, 1 when a row was bad, a task could
// not start or the batch was stopped, 3 when the list cannot be read.
int RunBatch(const CliOptions& options, TApplication& app, SignalTarget& signals, std::ostream& out,
             std::ostream& err);

}  // namespace korvane
