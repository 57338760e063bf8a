#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvane::test {

InterruptedRun RunAndInterrupt(const std::string& program,
                               const std::vector<std::string>& arguments,
                               const std::string& trigger, std::chrono::seconds limit) {
  InterruptedRun run;
  int outPipe[2];
  if (pipe2(outPipe, O_CLOEXEC) != 0) return run;
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments)
    argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
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
    if (poll(&fd, 1, 100) > 0) {
      char buffer[4096];
      const ssize_t got = read(outPipe[0], buffer, sizeof buffer);
      if (got <= 0) break;
      run.Printed.append(buffer, static_cast<size_t>(got));
    }
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

}  // namespace korvane::test
