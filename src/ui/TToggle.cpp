#include "ui/TToggle.h"

namespace korvane {

TToggle::TToggle(TControl* parent, std::string name, std::string caption)
    : TControl(parent, std::move(name)), caption_(std::move(caption)) {}

void TToggle::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TToggle::SetOwnCheck(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify(TChange::Checked);
}

bool TToggle::RunClick(const std::function<void()>& clicked) {
  if (!CanUserAct()) return false;
  return RunUserClick([this, &clicked] {
    clicked();
    if (OnClick) OnClick();
  });
}

}  // namespace korvane
