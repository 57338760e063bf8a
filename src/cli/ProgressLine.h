#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "session/SessionProgress.h"

namespace korvane {

// The line's text: "tiles 120/512  failed 3  14.2 tiles/s  0:27 left". Without a speed yet
// (nullopt) the speed and the time left show as "--".
std::string ProgressText(const SessionProgress& counts, std::optional<double> tilesPerSecond);

// One line on a terminal that each Show redraws in place (carriage return, text, erase to the
// end of the line), so a command-line run shows its progress without scrolling. The speed is
// measured from the first Show, so tiles done by an earlier run of the task do not count.
// Writes to a file descriptor (korvane-cli's stderr); write errors are ignored, as a lost
// progress line harms nothing. Not thread-safe: one thread shows, clears and ends it.
class ProgressLine {
 public:
  using TimePoint = std::chrono::steady_clock::time_point;

  explicit ProgressLine(int fd) : fd_(fd) {}

  // True when a progress line belongs on fd: it is a terminal and the user did not ask for
  // quiet.
  static bool WantedOn(int fd, bool quiet);

  void Show(const SessionProgress& counts, TimePoint now);

  // Erases the line, leaving the cursor at its start, so that a message can be written on a
  // line of its own; the next Show draws the line again.
  void Clear();

  // Leaves the last line standing and moves to the next line (the run is over).
  void Finish();

 private:
  void Write(const std::string& bytes);

  int fd_;
  std::optional<std::pair<TimePoint, int>> first_;  // when and at which count it began
  bool drawn_ = false;
};

}  // namespace korvane
