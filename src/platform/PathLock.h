#pragma once

#include <string>

namespace korvane {

// An exclusive lock on a file or folder, held for the object's life, against every other
// PathLock on the same path: in other processes and in this one alike (each object opens the
// path afresh). The kernel drops the lock when the holding process ends in any way, kill -9
// included, so a lock never outlives its run and there is nothing stale to clean up.
//
// The lock belongs to the file or folder the path names when the lock is taken: a file renamed
// over the path later is not covered. Lock something no save replaces (a task's tile folder,
// not its task file). Advisory: it keeps out other PathLocks, not readers or writers.
class PathLock {
 public:
  enum class State {
    Held,         // this object holds the lock
    Busy,         // another holder has it
    Unavailable,  // the path cannot be opened, or its file system has no locks
  };

  // Tries once and never waits.
  explicit PathLock(const std::string& path);
  ~PathLock();
  PathLock(PathLock&& other) noexcept;
  PathLock& operator=(PathLock&& other) noexcept;
  PathLock(const PathLock&) = delete;
  PathLock& operator=(const PathLock&) = delete;

  State GetState() const { return state_; }
  bool Held() const { return state_ == State::Held; }

  // Gives the lock up at once (the destructor does it otherwise).
  void Release();

 private:
  int fd_ = -1;
  State state_ = State::Unavailable;
};

}  // namespace korvane
