#include "platform/PathLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace korvane {

PathLock::PathLock(const std::string& path) {
  // flock() locks belong to the open file description, so two objects of one process exclude
  // each other as two processes do; a read-only descriptor is enough, for files and folders.
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd_ < 0) return;
  int result;
  do {
    result = ::flock(fd_, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result == 0) {
    state_ = State::Held;
    return;
  }
  state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
  ::close(fd_);
  fd_ = -1;
}

PathLock::~PathLock() {
  Release();
}

PathLock::PathLock(PathLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), state_(std::exchange(other.state_, State::Unavailable)) {}

PathLock& PathLock::operator=(PathLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
    state_ = std::exchange(other.state_, State::Unavailable);
  }
  return *this;
}

void PathLock::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing the last descriptor of the description unlocks it
  fd_ = -1;
  if (state_ == State::Held) state_ = State::Unavailable;
}

}  // namespace korvane
