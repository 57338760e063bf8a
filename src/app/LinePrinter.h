#pragma once

#include <ostream>

#include "ui/TMemo.h"
#include "ui/TPeer.h"

namespace korvane {

// A headless peer of a memo that echoes it to a stream: each appended line as it is added, and
// every line of the new content when the whole content is replaced. korvane-cli prints the log
// window this way.
class TLinePrinter final : public TPeer {
 public:
  TLinePrinter(TMemo& memo, std::ostream& out) : memo_(memo), out_(out) {}

  void Changed(TChange what) override;

 private:
  TMemo& memo_;
  std::ostream& out_;
};

}  // namespace korvane
