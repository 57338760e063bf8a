#include "ui/TProgressBar.h"

#include <algorithm>

#include "ui/TPeer.h"

namespace korvane {

TProgressBar::TProgressBar(TControl* parent, std::string name)
    : TControl(parent, std::move(name)) {}

void TProgressBar::SetRange(int min, int max) {
  max = std::max(min, max);
  const int position = std::clamp(position_, min, max);
  if (min == min_ && max == max_ && position == position_) return;
  min_ = min;
  max_ = max;
  position_ = position;
  Notify(TChange::Position);
}

void TProgressBar::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Notify(TChange::Position);
}

std::unique_ptr<TPeer> TProgressBar::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
