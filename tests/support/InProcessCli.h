#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "korvane-cli/KorvaneCli.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"

namespace korvane::test {

// What a run of korvane-cli inside the test's process needs: the clock a hundred times faster,
// a stand-in service (plan, listeners, more of its options), a program folder the test configures,
// a save folder, and the two streams the run prints on. Base: ::testing::Test or a TestWithParam.
template <typename Base = ::testing::Test>
class InProcessCli : public Base {
 protected:
  explicit InProcessCli(const std::string& plan = "", int listeners = 1,
                        const std::vector<std::string>& standinArgs = {})
      : standin(plan, listeners, standinArgs) {}

  // One run; out and err then hold what this run printed.
  int RunCli(const std::vector<std::string>& arguments) {
    out.str("");
    err.str("");
    return ExitCode(RunKorvaneCli(arguments, out, err));
  }

  RecordingClock clock{100};
  StandinFixture standin;
  TempProgramFolder program;
  TempFolder save;
  std::ostringstream out;
  std::ostringstream err;
};

}  // namespace korvane::test
