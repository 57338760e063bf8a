#include "support/ChildProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace korvane::test {
namespace {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

pid_t SpawnChild(const std::vector<std::string>& args, int* stdoutFd) {
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  for (std::string& arg : copies)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  int pipeFds[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdoutFd != nullptr) {
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t pid = -1;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (stdoutFd != nullptr) {
    ::close(pipeFds[1]);
    *stdoutFd = pipeFds[0];
  }
  if (spawned != 0) {
    if (stdoutFd != nullptr) {
      ::close(*stdoutFd);
      *stdoutFd = -1;
    }
    throw std::runtime_error("cannot start " + args.at(0));
  }
  return pid;
}

bool WaitForChildExit(pid_t pid, std::chrono::milliseconds timeout, int& status) {
  const int pidfd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
  const auto deadline = Clock::now() + timeout;
  while (true) {
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    if (done == pid || (done < 0 && errno != EINTR)) break;
    if (Clock::now() >= deadline) {
      if (pidfd >= 0) ::close(pidfd);
      return false;
    }
    if (pidfd >= 0) {
      pollfd exited = {pidfd, POLLIN, 0};
      ::poll(&exited, 1, MillisecondsLeft(deadline));
    } else {
      ::poll(nullptr, 0, 10);  // no process descriptors on this kernel: look again shortly
    }
  }
  if (pidfd >= 0) ::close(pidfd);
  return true;
}

int StopChild(pid_t pid, std::chrono::milliseconds timeout) {
  int status = 0;
  ::kill(pid, SIGTERM);
  if (!WaitForChildExit(pid, timeout, status)) {
    ::kill(pid, SIGKILL);
    WaitForChildExit(pid, timeout, status);
  }
  return WIFEXITED(status)     ? WEXITSTATUS(status)
         : WIFSIGNALED(status) ? 128 + WTERMSIG(status)
                               : -1;
}

}  // namespace korvane::test
