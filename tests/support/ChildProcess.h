#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace korvane::test {

// Starts a program of the test (a service or a proxy) with its stdout on a pipe the caller
// reads (stdoutFd; -1 to let it go to the test's own) and no signal blocked, so it hears
// SIGTERM even when the test process blocks it. Raises std::runtime_error when it cannot start.
pid_t SpawnChild(const std::vector<std::string>& args, int* stdoutFd);

// Waits for the child to end; false when the timeout passes first.
bool WaitForChildExit(pid_t pid, std::chrono::milliseconds timeout, int& status);

// SIGTERM, then SIGKILL when it has not ended after the timeout. The exit status: 0 for a clean
// end, 128 + signal number when it died by a signal.
int StopChild(pid_t pid, std::chrono::milliseconds timeout);

}  // namespace korvane::test
