#include "ui/TRadioButton.h"

namespace korvane {

TRadioButton::TRadioButton(TControl* parent, std::string name, std::string caption)
    : TControl(parent, std::move(name)), caption_(std::move(caption)) {}

void TRadioButton::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TRadioButton::SetOwnCheck(bool checked) {
  if (checked_ == checked) return;
  checked_ = checked;
  Notify(TChange::Checked);
}

void TRadioButton::SetChecked(bool checked) {
  if (checked && Parent() != nullptr) {
    for (TControl* sibling : Parent()->Controls()) {
      if (auto* other = dynamic_cast<TRadioButton*>(sibling); other != nullptr && other != this)
        other->SetOwnCheck(false);
    }
  }
  SetOwnCheck(checked);
}

bool TRadioButton::UserClick() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] {
    SetChecked(true);
    if (OnClick) OnClick();
  });
}

std::unique_ptr<TPeer> TRadioButton::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
