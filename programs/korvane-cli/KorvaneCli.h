#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/ExitStatus.h"

namespace korvane {

// korvane-cli: a download session driven from the command line, with no window behind it (see
// CliOptions.h for the command line).
// stdout: every line added to the log window, as it is added (all lines of the new content when
// Start loads the log file); in --retry mode the re-download's lines. stderr: the text
// of every message box and error box, one per line.
// Returns the exit status: Complete when the task ended with every tile in (or the re-download
// reached "Download End."), Incomplete when it ended with tiles failed, substituted or left by a
// stop, Error when Start ended with a message box or an error box (or the re-download ended
// early, or the panorama could not be made), BadCommandLine. A batch answers the worst of its
// places. SIGINT and SIGTERM press Stop; the run then waits for the end sequence. Call on the
// main thread before any other thread starts.
ExitStatus RunKorvaneCli(const std::vector<std::string>& arguments, std::ostream& out,
                         std::ostream& err);

}  // namespace korvane
