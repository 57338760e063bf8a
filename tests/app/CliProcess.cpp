#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

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

}  // namespace

InterruptedRun RunAndInterrupt(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& trigger, std::chrono::seconds limit) {
  InterruptedRun run;
  int outPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return run;
  std::vector<char*> argv = Argv(program, arguments);
  const pid_t pid = fork();
  if (pid < 0) return run;
  if (pid == 0) {
    dup2(outPipe[1], STDOUT_FILENO);
    const int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, STDERR_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  close(outPipe[1]);

  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    pollfd fd{outPipe[0], POLLIN, 0};
    if (poll(&fd, 1, 100) > 0 && !ReadInto(outPipe[0], run.Printed)) break;
    if (!run.Signalled && run.Printed.find(trigger) != std::string::npos) {
      kill(pid, SIGINT);
      run.Signalled = true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      break;
    }
  }
  close(outPipe[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  run.Exited = WIFEXITED(status);
  if (run.Exited) run.ExitStatus = WEXITSTATUS(status);
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
