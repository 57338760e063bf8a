#include "ui/TCheckBox.h"

namespace korvane {

TCheckBox::TCheckBox(TControl* parent, std::string name, std::string caption)
    : TControl(parent, std::move(name)), caption_(std::move(caption)) {}

void TCheckBox::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TCheckBox::SetChecked(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify(TChange::Checked);
}

bool TCheckBox::UserClick() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] {
    SetChecked(!checked_);
    if (OnClick) OnClick();
  });
}

std::unique_ptr<TPeer> TCheckBox::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
