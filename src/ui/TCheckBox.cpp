#include "ui/TCheckBox.h"

namespace korvane {

TCheckBox::TCheckBox(TControl* parent, std::string name, std::string caption)
    : TToggle(parent, std::move(name), std::move(caption)) {}

bool TCheckBox::UserClick() {
  return RunClick([this] { SetOwnCheck(!Checked()); });
}

std::unique_ptr<TPeer> TCheckBox::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
