#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvane::test {

// Watches the link(), fsync() and rename() calls this test executable makes (the program's code
// included) while the spy lives, can make link() fail as file systems without hard links do,
// write() fail as on a full disk, and connect() fail as when the local side has run out of
// ports. The calls themselves are interposed in this
// executable (link with korvane_syscall_spy); without a spy they pass straight through to the
// system.
class SystemCallSpy {
 public:
  SystemCallSpy();
  ~SystemCallSpy();
  SystemCallSpy(const SystemCallSpy&) = delete;
  SystemCallSpy& operator=(const SystemCallSpy&) = delete;

  // Every link() from now on fails with this error number.
  void RefuseLinks(int error);

  // From now on the files below `folder` (a path prefix) share `room` more bytes; a write()
  // to one of them that goes beyond writes what still fits, as on a disk filling up, and the
  // next fails with ENOSPC. Other files are not affected.
  void FillDisk(const std::string& folder, std::size_t room);
  // Space is freed: writes below the folder succeed again.
  void FreeDisk();
  // How many write() calls failed with ENOSPC so far.
  int FailedWrites() const;

  // The next `count` connect() calls to a network address (not a local socket) fail at once
  // with this error number; EADDRNOTAVAIL is what a machine out of local ports answers.
  void RefuseConnects(int error, int count);
  // How many connect() calls were refused so far.
  int RefusedConnects() const;

  // The calls so far, in order: "link FROM TO", "fsync PATH", "rename FROM TO" (PATH is the
  // file or folder the descriptor was opened on).
  std::vector<std::string> Calls() const;
};

}  // namespace korvane::test
