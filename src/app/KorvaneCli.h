#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace korvane {

// korvane-cli: a download session driven from the command line, with no window behind it (see
// CliOptions.h for the command line).
// stdout: every line added to the log window, as it is added (all lines of the new content when
// Start loads the log file); in --retry mode the re-download's lines. stderr: the text
// of every message box and error box, one per line.
// Returns the exit status: 0 when the task ended through its end sequence (or the re-download
// reached "Download End."), 1 when Start ended with a message box or an error box (or the
// re-download ended early), 2 for a bad command line. SIGINT and SIGTERM press Stop; the run
// then waits for the end sequence. Call on the main thread before any other thread starts.
int RunKorvaneCli(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace korvane
