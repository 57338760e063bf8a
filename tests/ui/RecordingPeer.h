#pragma once

#include <vector>

#include "ui/TPeer.h"

namespace korvane::test {

// A peer that remembers what it was told.
class RecordingPeer final : public TPeer {
 public:
  explicit RecordingPeer(std::vector<TChange>& log) : log_(log) {}
  void Changed(TChange what) override { log_.push_back(what); }

 private:
  std::vector<TChange>& log_;
};

}  // namespace korvane::test
