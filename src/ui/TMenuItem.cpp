#include "ui/TMenuItem.h"

#include <algorithm>

#include "ui/TForm.h"

namespace korvane {

TMainMenu::TMainMenu(TForm* form, std::string name) : TMenuContainer(form, std::move(name)) {
  if (form && !form->Menu()) form->SetMenu(this);
}

std::unique_ptr<TPeer> TMainMenu::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

TMenuItem::TMenuItem(TMenuContainer* parent, std::string name, std::string caption)
    : TMenuContainer(parent->OwnerForm(), std::move(name)),
      parent_(parent),
      caption_(std::move(caption)) {
  parent_->items_.push_back(this);
}

TMenuItem::~TMenuItem() {
  std::erase(parent_->items_, this);
}

void TMenuItem::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TMenuItem::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Notify(TChange::Visible);
}

void TMenuItem::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify(TChange::Enabled);
}

void TMenuItem::Click() {
  if (OnClick) OnClick();
}

bool TMenuItem::UserClick() {
  if (IsLine()) return false;
  const TMenuItem* item = this;
  while (item) {
    if (!item->visible_ || !item->enabled_) return false;
    item = dynamic_cast<const TMenuItem*>(item->parent_);
  }
  const TForm* form = OwnerForm();
  if (!form || !form->Visible() || !form->Enabled()) return false;
  return RunUserClick([this] { Click(); });
}

std::unique_ptr<TPeer> TMenuItem::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
