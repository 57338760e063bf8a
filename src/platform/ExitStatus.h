#pragma once

namespace korvane {

// How a run of any Korvane program ended, as its exit status: the one table every program, its
// --help text and its manual page follow, so a script reads the same number the same way
// whichever program it ran.
enum class ExitStatus : int {
  // Everything asked for was done in full: every tile of the task is in, the panorama is whole.
  Complete = 0,
  // An error ended the run (its message on standard error): a start that ended with a message,
  // a file that cannot be read or written, a panorama that could not be made, a bad row of a
  // batch list.
  Error = 1,
  // The command line was not understood; the usage text follows the message.
  BadCommandLine = 2,
  // The run ended but left work to do: tiles failed, substituted or not yet fetched (a stopped
  // task), grey tiles in a panorama, a place of a batch that is not downloaded in full.
  Incomplete = 3,
};

// The number a program returns from main.
constexpr int ExitCode(ExitStatus status) {
  return static_cast<int>(status);
}

// The outcome of a run made of several parts (a batch of places): an error outweighs an
// incomplete part, which outweighs a complete one.
constexpr ExitStatus Worse(ExitStatus a, ExitStatus b) {
  auto weight = [](ExitStatus status) {
    switch (status) {
      case ExitStatus::Complete:
        return 0;
      case ExitStatus::Incomplete:
        return 1;
      case ExitStatus::Error:
        return 2;
      case ExitStatus::BadCommandLine:
        return 3;
    }
    return 3;
  };
  return weight(a) >= weight(b) ? a : b;
}

}  // namespace korvane
