#include "ui/TComponent.h"

#include "ui/TApplication.h"
#include "ui/TForm.h"

namespace korvane {

TComponent::TComponent(TForm* form, std::string name) : name_(std::move(name)), form_(form) {
  if (form_) form_->RegisterComponent(*this);
}

TComponent::~TComponent() {
  // The peer goes first: its widget must not outlive the model it shows.
  peer_.reset();
  if (form_ && form_ != this) form_->UnregisterComponent(*this);
}

void TComponent::SetPeer(std::unique_ptr<TPeer> peer) {
  peer_.reset();
  peer_ = std::move(peer);
}

std::unique_ptr<TPeer> TComponent::MakePeer(TPeerFactory&) {
  return nullptr;
}

void TComponent::RunUserHandler(const std::function<void()>& handler) {
  if (form_) {
    form_->App().CallHandler(handler);
  } else {
    handler();
  }
}

bool TComponent::RunUserClick(const std::function<void()>& handler) {
  if (clickRunning_ && !takesClicksWhileBusy_) return false;
  struct Reset {
    bool& flag;
    bool before;
    ~Reset() { flag = before; }
  } reset{clickRunning_, clickRunning_};
  clickRunning_ = true;
  RunUserHandler(handler);
  return true;
}

}  // namespace korvane
