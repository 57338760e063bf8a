#include "support/SystemCallSpy.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/socket.h>
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
std::string fullDiskFolder;  // empty: no disk is filling
std::size_t diskRoom = 0;
int failedWrites = 0;
int connectError = 0;
int connectsToRefuse = 0;
int refusedConnects = 0;

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
  fullDiskFolder.clear();
  failedWrites = 0;
  connectsToRefuse = 0;
  refusedConnects = 0;
}

SystemCallSpy::~SystemCallSpy() {
  std::lock_guard<std::mutex> lock(spyMutex);
  spying = false;
  linkError = 0;
  fullDiskFolder.clear();
  connectsToRefuse = 0;
}

void SystemCallSpy::RefuseLinks(int error) {
  std::lock_guard<std::mutex> lock(spyMutex);
  linkError = error;
}

void SystemCallSpy::FillDisk(const std::string& folder, std::size_t room) {
  std::lock_guard<std::mutex> lock(spyMutex);
  fullDiskFolder = folder;
  diskRoom = room;
}

void SystemCallSpy::FreeDisk() {
  std::lock_guard<std::mutex> lock(spyMutex);
  fullDiskFolder.clear();
}

int SystemCallSpy::FailedWrites() const {
  std::lock_guard<std::mutex> lock(spyMutex);
  return failedWrites;
}

void SystemCallSpy::RefuseConnects(int error, int count) {
  std::lock_guard<std::mutex> lock(spyMutex);
  connectError = error;
  connectsToRefuse = count;
}

int SystemCallSpy::RefusedConnects() const {
  std::lock_guard<std::mutex> lock(spyMutex);
  return refusedConnects;
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

// The C library's write(), or the sanitizer's in front of it: the next definition after this
// executable's.
using WriteFunction = ssize_t (*)(int, const void*, size_t);
static WriteFunction SystemWrite() {
  static const WriteFunction next = reinterpret_cast<WriteFunction>(::dlsym(RTLD_NEXT, "write"));
  return next;
}

extern "C" ssize_t write(int fd, const void* bytes, size_t count) {
  using namespace korvane::test;
  bool filling = false;
  {
    std::lock_guard<std::mutex> lock(spyMutex);
    filling = spying && !fullDiskFolder.empty();
  }
  if (filling && PathOfDescriptor(fd).rfind(fullDiskFolder, 0) == 0) {
    std::lock_guard<std::mutex> lock(spyMutex);
    if (diskRoom == 0) {
      ++failedWrites;
      errno = ENOSPC;
      return -1;
    }
    if (count > diskRoom) count = diskRoom;
    diskRoom -= count;
  }
  return SystemWrite()(fd, bytes, count);
}

using ConnectFunction = int (*)(int, const sockaddr*, socklen_t);
static ConnectFunction SystemConnect() {
  static const ConnectFunction next =
      reinterpret_cast<ConnectFunction>(::dlsym(RTLD_NEXT, "connect"));
  return next;
}

extern "C" int connect(int fd, const sockaddr* address, socklen_t length) {
  using namespace korvane::test;
  const bool network =
      address != nullptr && (address->sa_family == AF_INET || address->sa_family == AF_INET6);
  if (network) {
    std::lock_guard<std::mutex> lock(spyMutex);
    if (spying && connectsToRefuse > 0) {
      --connectsToRefuse;
      ++refusedConnects;
      errno = connectError;
      return -1;
    }
  }
  return SystemConnect()(fd, address, length);
}
