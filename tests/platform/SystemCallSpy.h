#pragma once

#include <string>
#include <vector>

namespace korvane::test {

// Watches the link(), fsync() and rename() calls this test executable makes (the program's code
// included) while the spy lives, and can make link() fail as file systems without hard links
// do. The calls themselves are interposed in this executable; without a spy they pass straight
// through to the system.
class SystemCallSpy {
 public:
  SystemCallSpy();
  ~SystemCallSpy();
  SystemCallSpy(const SystemCallSpy&) = delete;
  SystemCallSpy& operator=(const SystemCallSpy&) = delete;

  // Every link() from now on fails with this error number.
  void RefuseLinks(int error);

  // The calls so far, in order: "link FROM TO", "fsync PATH", "rename FROM TO" (PATH is the
  // file or folder the descriptor was opened on).
  std::vector<std::string> Calls() const;
};

}  // namespace korvane::test
