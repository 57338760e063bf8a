#include "ui/TRadioButton.h"

namespace korvane {

TRadioButton::TRadioButton(TControl* parent, std::string name, std::string caption)
    : TToggle(parent, std::move(name), std::move(caption)) {}

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
  return RunClick([this] { SetChecked(true); });
}

std::unique_ptr<TPeer> TRadioButton::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
