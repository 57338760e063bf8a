#include "ui/TUpDown.h"

#include <algorithm>

#include "platform/NumberFormat.h"
#include "ui/TEdit.h"

namespace korvane {

TUpDown::TUpDown(TControl* parent, std::string name) : TControl(parent, std::move(name)) {}

TUpDown::~TUpDown() {
  SetAssociate(nullptr);
}

void TUpDown::SetMin(int min) {
  min_ = min;
  if (max_ < min_) max_ = min_;
  SetPosition(position_);
}

void TUpDown::SetMax(int max) {
  max_ = max;
  if (min_ > max_) min_ = max_;
  SetPosition(position_);
}

void TUpDown::SetPosition(int position) {
  position_ = std::clamp(position, min_, max_);
  ShowPosition();
}

void TUpDown::SetAssociate(TEdit* edit) {
  if (associate_ && associate_->Spin() == this) associate_->SetSpin(nullptr);
  associate_ = edit;
  if (associate_) associate_->SetSpin(this);
  ShowPosition();
}

void TUpDown::ShowPosition() {
  if (associate_) associate_->SetText(IntToStr(position_));
}

void TUpDown::StepUp() {
  Step(increment_);
}

void TUpDown::StepDown() {
  Step(-increment_);
}

void TUpDown::Step(int delta) {
  int current = position_;
  if (associate_) current = std::clamp(StrToIntDef(associate_->Text(), position_), min_, max_);
  long long next = static_cast<long long>(current) + delta;
  if (next > max_) {
    next = wrap_ ? min_ : max_;
  } else if (next < min_) {
    next = wrap_ ? max_ : min_;
  }
  SetPosition(static_cast<int>(next));
}

bool TUpDown::UserStepUp() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] { StepUp(); });
}

bool TUpDown::UserStepDown() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] { StepDown(); });
}

std::unique_ptr<TPeer> TUpDown::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
