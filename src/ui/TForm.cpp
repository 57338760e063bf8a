#include "ui/TForm.h"

#include <algorithm>

#include "ui/TAppBackend.h"
#include "ui/TApplication.h"
#include "ui/TButton.h"
#include "ui/TMenuItem.h"

namespace korvane {

TForm::TForm(TApplication& app, std::string name) : TControl(nullptr, std::move(name)), app_(app) {
  SetOwnerForm(this);
  SetVisible(false);
  app_.AddForm(*this);
}

TForm::~TForm() {
  app_.RemoveForm(*this);
}

void TForm::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TForm::SetBorderWidth(int width) {
  if (borderWidth_ == width) return;
  borderWidth_ = width;
  Realign();
}

void TForm::SetPosition(TFormPosition position) {
  position_ = position;
  Notify(TChange::Style);
}

void TForm::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  Notify(TChange::Style);
}

void TForm::SetFormStyle(TFormStyle style) {
  formStyle_ = style;
  Notify(TChange::Style);
}

void TForm::Show() {
  if (Visible()) return;
  Realize();
  SetVisible(true);
  if (OnShow) OnShow();
}

void TForm::Hide() {
  if (!Visible()) return;
  modal_ = false;
  SetVisible(false);
  if (OnHide) OnHide();
}

TModalResult TForm::ShowModal() {
  if (Visible()) throw Exception("Cannot make a visible window modal");
  modalResult_ = mrNone;
  modal_ = true;
  try {
    Show();
  } catch (...) {
    modal_ = false;
    throw;
  }
  if (modal_ && Visible()) app_.Backend().RunModal(*this);
  return modalResult_;
}

bool TForm::Close() {
  if (closing_) return false;
  bool canClose = true;
  {
    closing_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{closing_};
    if (OnCloseQuery) OnCloseQuery(canClose);
    if (canClose) {
      TCloseAction action = caHide;
      if (OnClose) OnClose(action);
      canClose = action != caNone;
    }
  }
  if (!canClose) {
    if (modal_) modalResult_ = mrNone;
    return false;
  }
  if (modal_ && modalResult_ == mrNone) modalResult_ = mrCancel;
  Hide();
  if (app_.MainForm() == this) app_.Terminate();
  return true;
}

void TForm::SetModalResult(TModalResult result) {
  modalResult_ = result;
  if (result != mrNone && modal_ && Visible()) Close();
}

void TForm::SetMenu(TMainMenu* menu) {
  if (menu_ == menu) return;
  menu_ = menu;
  Notify(TChange::Style);
}

TButton* TForm::DefaultButton() const {
  for (TComponent* component : components_) {
    auto* button = dynamic_cast<TButton*>(component);
    if (button && button->Default()) return button;
  }
  return nullptr;
}

TButton* TForm::CancelButton() const {
  for (TComponent* component : components_) {
    auto* button = dynamic_cast<TButton*>(component);
    if (button && button->Cancel()) return button;
  }
  return nullptr;
}

bool TForm::UserPressEnter() {
  TButton* button = DefaultButton();
  return button && button->UserClick();
}

bool TForm::UserPressEscape() {
  TButton* button = CancelButton();
  return button && button->UserClick();
}

bool TForm::UserClose() {
  if (!Visible()) return false;
  bool closed = false;
  RunUserHandler([&] { closed = Close(); });
  return closed;
}

TComponent* TForm::FindComponent(const std::string& name) const {
  auto found = byName_.find(name);
  return found == byName_.end() ? nullptr : found->second;
}

void TForm::Realize() {
  TPeerFactory* factory = app_.Backend().PeerFactory();
  if (!factory) return;
  if (!Peer()) SetPeer(MakePeer(*factory));
  for (TComponent* component : components_) {
    if (!component->Peer()) component->SetPeer(component->MakePeer(*factory));
  }
}

TRect TForm::ClientRect() const {
  return {borderWidth_, borderWidth_, Width() - borderWidth_, Height() - borderWidth_};
}

std::unique_ptr<TPeer> TForm::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

void TForm::RegisterComponent(TComponent& component) {
  const std::string& name = component.Name();
  if (!name.empty()) {
    if (byName_.contains(name)) throw Exception("A component named " + name + " already exists");
    byName_[name] = &component;
  }
  components_.push_back(&component);
}

void TForm::UnregisterComponent(TComponent& component) {
  std::erase(components_, &component);
  auto found = byName_.find(component.Name());
  if (found != byName_.end() && found->second == &component) byName_.erase(found);
  if (menu_ && static_cast<TComponent*>(menu_) == &component) menu_ = nullptr;
}

}  // namespace korvane
