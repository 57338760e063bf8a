#include "ui/TButton.h"

#include "ui/TForm.h"

namespace korvane {

TButton::TButton(TControl* parent, std::string name, std::string caption)
    : TControl(parent, std::move(name)), caption_(std::move(caption)) {}

void TButton::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TButton::SetDefault(bool isDefault) {
  if (default_ == isDefault) return;
  default_ = isDefault;
  Notify(TChange::Default);
}

void TButton::SetCancel(bool isCancel) {
  if (cancel_ == isCancel) return;
  cancel_ = isCancel;
  Notify(TChange::Default);
}

void TButton::Click() {
  if (OnClick) OnClick();
  if (modalResult_ != mrNone && OwnerForm()) OwnerForm()->SetModalResult(modalResult_);
}

bool TButton::UserClick() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] { Click(); });
}

std::unique_ptr<TPeer> TButton::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
