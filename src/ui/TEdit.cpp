#include "ui/TEdit.h"

#include "ui/TUpDown.h"

namespace korvane {

TEdit::TEdit(TControl* parent, std::string name, std::string text)
    : TControl(parent, std::move(name)), text_(std::move(text)) {}

TEdit::~TEdit() {
  if (spin_) spin_->SetAssociate(nullptr);
}

void TEdit::SetText(std::string text) {
  if (text_ == text) return;
  text_ = std::move(text);
  Notify(TChange::Text);
  if (OnChange) OnChange();
}

void TEdit::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  Notify(TChange::ReadOnly);
}

void TEdit::SetPasswordEcho(bool passwordEcho) {
  if (passwordEcho_ == passwordEcho) return;
  passwordEcho_ = passwordEcho;
  Notify(TChange::Style);
}

bool TEdit::UserType(std::string text) {
  if (readOnly_ || !CanUserAct()) return false;
  RunUserHandler([&] { SetText(std::move(text)); });
  return true;
}

bool TEdit::UserArrowKey(bool up) {
  if (!spin_ || !CanUserAct()) return false;
  return up ? spin_->UserStepUp() : spin_->UserStepDown();
}

std::unique_ptr<TPeer> TEdit::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
