#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace korvane::test {

// A program folder for korvane-cli as a process of its own: the executable and the data beside
// it (ini/, help/, blankimg/) copied from the built program folder, with ini/config.ini holding
// the given content.
class CliProgramFolder {
 public:
  explicit CliProgramFolder(const std::string& config);

  const std::string& Path() const { return folder_.Path(); }
  // The copy's korvane-cli.
  std::string Cli() const { return Path() + "korvane-cli"; }
  void WriteConfig(const std::string& content) const;

 private:
  TempFolder folder_;
};

// How a korvane-cli process that was sent SIGINT ended.
struct InterruptedRun {
  std::string Printed;     // its standard output
  bool Signalled = false;  // the trigger text came and SIGINT went out
  bool Exited = false;     // it ended by itself (not by a signal, not killed at the limit)
  int ExitStatus = -1;
};

// Runs the program with the arguments (standard error to /dev/null), sends SIGINT once its
// standard output holds trigger, and waits for its end; a process still running after limit is
// killed.
InterruptedRun RunAndInterrupt(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& trigger, std::chrono::seconds limit);

// How a korvane-cli process ran with a terminal (a pseudo-terminal) as its standard error.
struct TerminalRun {
  std::string Printed;   // its standard output
  std::string Terminal;  // what it wrote on the terminal
  bool Exited = false;   // it ended by itself before limit
  int ExitStatus = -1;
};

// Runs the program with the arguments, standard output to a pipe and standard error to a
// pseudo-terminal, until it ends; a process still running after limit is killed.
TerminalRun RunWithTerminal(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::seconds limit);

// How a korvane-cli process that was to be killed with SIGKILL ended.
struct KilledRun {
  std::string Printed;  // its standard output
  bool Killed = false;  // it was still running at the moment and SIGKILL went out
  bool Exited = false;  // it had ended by itself before the moment
  int ExitStatus = -1;
};

// Runs the program with the arguments (standard error to /dev/null), calls awaitMoment, which
// returns at the moment of the kill (it must bound its own wait), and kills the program with
// SIGKILL then, unless it has ended by itself. The program's output stays in the pipe until
// then, so it must not print more than a pipe holds (64 KiB) before the moment.
KilledRun RunAndKill(const std::string& program, const std::vector<std::string>& arguments,
                     const std::function<void()>& awaitMoment);

}  // namespace korvane::test
