#include "SystemCallSpy.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <mutex>

namespace korvane::test {
namespace {

std::mutex spyMutex;
bool spying = false;
int linkError = 0;
std::vector<std::string> calls;

void Record(const std::string& call) {
  std::lock_guard<std::mutex> lock(spyMutex);
  if (spying) calls.push_back(call);
}

std::string PathOfDescriptor(int fd) {
  char path[4096];
  const std::string link = "/proc/self/fd/" + std::to_string(fd);
  const ssize_t length = ::readlink(link.c_str(), path, sizeof path);
  return length > 0 ? std::string(path, static_cast<size_t>(length)) : "?";
}

}  // namespace

SystemCallSpy::SystemCallSpy() {
  std::lock_guard<std::mutex> lock(spyMutex);
  spying = true;
  linkError = 0;
  calls.clear();
}

SystemCallSpy::~SystemCallSpy() {
  std::lock_guard<std::mutex> lock(spyMutex);
  spying = false;
  linkError = 0;
}

void SystemCallSpy::RefuseLinks(int error) {
  std::lock_guard<std::mutex> lock(spyMutex);
  linkError = error;
}

std::vector<std::string> SystemCallSpy::Calls() const {
  std::lock_guard<std::mutex> lock(spyMutex);
  return calls;
}

}  // namespace korvane::test

// The interposed calls: the executable's own definitions come before the C library's.
extern "C" int link(const char* from, const char* to) noexcept {
  using namespace korvane::test;
  Record(std::string("link ") + from + " " + to);
  int error = 0;
  {
    std::lock_guard<std::mutex> lock(spyMutex);
    error = spying ? linkError : 0;
  }
  if (error != 0) {
    errno = error;
    return -1;
  }
  return ::linkat(AT_FDCWD, from, AT_FDCWD, to, 0);
}

extern "C" int fsync(int fd) {
  korvane::test::Record("fsync " + korvane::test::PathOfDescriptor(fd));
  return static_cast<int>(::syscall(SYS_fsync, fd));
}

extern "C" int rename(const char* from, const char* to) noexcept {
  korvane::test::Record(std::string("rename ") + from + " " + to);
  return ::renameat(AT_FDCWD, from, AT_FDCWD, to);
}
