#include "ui/TEdit.h"

namespace korvane {

TEdit::TEdit(TControl* parent, std::string name, std::string text)
    : TControl(parent, std::move(name)), text_(std::move(text)) {}

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

bool TEdit::UserType(std::string text) {
  if (readOnly_ || !CanUserAct()) return false;
  RunUserHandler([&] { SetText(std::move(text)); });
  return true;
}

std::unique_ptr<TPeer> TEdit::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
