#pragma once

#include <string>

#include "ui/TControl.h"

namespace korvane {

// A bar that fills from Min to Max as Position grows; Position is kept within Min..Max.
class TProgressBar : public TControl {
 public:
  TProgressBar(TControl* parent, std::string name);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // max below min is taken as min.
  void SetRange(int min, int max);
  void SetPosition(int position);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};

}  // namespace korvane
