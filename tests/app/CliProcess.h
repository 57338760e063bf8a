#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace korvane::test {

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

}  // namespace korvane::test
