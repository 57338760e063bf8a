#include "support/CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <tuple>
#include <utility>

#include "platform/FileSystem.h"

namespace korvane::test {
namespace {

std::vector<char*> Argv(const std::string& program, const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

// Appends what fd has to text; false at its end (or, for a terminal's controller, once the
// process has closed its side).
bool ReadInto(int fd, std::string& text) {
  char buffer[4096];
  const ssize_t got = read(fd, buffer, sizeof buffer);
  if (got <= 0) return false;
  text.append(buffer, static_cast<size_t>(got));
  return true;
}

// A running program with its standard output on a pipe and its standard error on /dev/null.
struct PipedChild {
  pid_t Pid = -1;
  int Out = -1;
};

// Starts the program; Pid < 0 when it could not be started.
PipedChild StartPiped(const std::string& program, const std::vector<std::string>& arguments) {
  PipedChild child;
  int outPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return child;
  std::vector<char*> argv = Argv(program, arguments);
  child.Pid = fork();
  if (child.Pid < 0) {
    close(outPipe[0]);
    close(outPipe[1]);
    return child;
  }
  if (child.Pid == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  child.Out = outPipe[0];
  return child;
}

// Closes the pipe and reaps the child: whether it exited by itself, and its exit status.
std::pair<bool, int> Reap(const PipedChild& child) {
  close(child.Out);
  int status = 0;
  waitpid(child.Pid, &status, 0);
  if (!WIFEXITED(status)) return {false, -1};
  return {true, WEXITSTATUS(status)};
}

}  // namespace

CliProgramFolder::CliProgramFolder(const std::string& config) {
  namespace fs = std::filesystem;
  const fs::path source(KORVANE_PROGRAM_DIR);
  fs::copy_file(source / "korvane-cli", fs::path(Path()) / "korvane-cli");
  for (const char* data : {"ini", "help", "blankimg"}) {
    if (fs::exists(source / data))
      fs::copy(source / data, fs::path(Path()) / data, fs::copy_options::recursive);
  }
  fs::remove(fs::path(Path()) / "ini" / "config.ini");
  WriteConfig(config);
}

void CliProgramFolder::WriteConfig(const std::string& content) const {
  WriteFileBytes(Path() + "ini/config.ini", content);
}

InterruptedRun RunAndInterrupt(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& trigger, std::chrono::seconds limit) {
  InterruptedRun run;
  const PipedChild child = StartPiped(program, arguments);
  if (child.Pid < 0) return run;
  const pid_t pid = child.Pid;

  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    pollfd fd{child.Out, POLLIN, 0};
    if (poll(&fd, 1, 100) > 0 && !ReadInto(child.Out, run.Printed)) break;
    if (!run.Signalled && run.Printed.find(trigger) != std::string::npos) {
      kill(pid, SIGINT);
      run.Signalled = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      break;
    }
  }
  std::tie(run.Exited, run.ExitStatus) = Reap(child);
  return run;
}

KilledRun RunAndKill(const std::string& program, const std::vector<std::string>& arguments,
                     const std::function<void()>& awaitMoment) {
  KilledRun run;
  const PipedChild child = StartPiped(program, arguments);
  if (child.Pid < 0) return run;
  awaitMoment();
  // Looks without reaping, so Reap below gets the status either way.
  siginfo_t ended{};
  waitid(P_PID, static_cast<id_t>(child.Pid), &ended, WEXITED | WNOHANG | WNOWAIT);
  if (ended.si_pid == 0) {
    kill(child.Pid, SIGKILL);
    run.Killed = true;
  }
  while (ReadInto(child.Out, run.Printed)) {
  }
  std::tie(run.Exited, run.ExitStatus) = Reap(child);
  return run;
}

TerminalRun RunWithTerminal(const std::string& program, const std::vector<std::string>& arguments,
                            std::chrono::seconds limit) {
  TerminalRun run;
  int outPipe[2];
  int controller = -1;
  int terminal = -1;
  if (pipe2(outPipe, O_CLOEXEC) != 0) return run;
  if (openpty(&controller, &terminal, nullptr, nullptr, nullptr) != 0) return run;
  std::vector<char*> argv = Argv(program, arguments);
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    dup2(terminal, STDERR_FILENO);
    close(controller);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);
  close(terminal);

  const auto deadline = std::chrono::steady_clock::now() + limit;
  bool outOpen = true;
  bool terminalOpen = true;
  while (outOpen || terminalOpen) {
    pollfd fds[2] = {{outOpen ? outPipe[0] : -1, POLLIN, 0},
                     {terminalOpen ? controller : -1, POLLIN, 0}};
    if (poll(fds, 2, 100) > 0) {
      if (fds[0].revents != 0) outOpen = ReadInto(outPipe[0], run.Printed);
      if (fds[1].revents != 0) terminalOpen = ReadInto(controller, run.Terminal);
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      break;
    }
  }
  close(outPipe[0]);
  close(controller);
  int status = 0;
  waitpid(pid, &status, 0);
  run.Exited = WIFEXITED(status);
  if (run.Exited) run.ExitStatus = WEXITSTATUS(status);
  return run;
}

}  // namespace korvane::test
