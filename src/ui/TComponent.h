#pragma once

#include <functional>
#include <memory>
#include <string>

#include "ui/TPeer.h"

namespace korvane {

class TForm;

// Anything a form holds by name: controls, menus, timers, dialogs. A component registers
// itself with its form under its Name (empty names are not registered), so tests and peers can
// find it; it owns its peer, if any.
//
// Lifetime: a form's components are normally its data members, declared containers first, so
// they are built parents-first and destroyed children-first. Components are used on the main
// thread only.
class TComponent {
 public:
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;
  virtual ~TComponent();

  const std::string& Name() const { return name_; }

  // The form holding the component (a form holds itself); null for a free-standing control.
  TForm* OwnerForm() const { return form_; }

  TPeer* Peer() const { return peer_.get(); }
  // Replaces the peer. The old one is destroyed first.
  void SetPeer(std::unique_ptr<TPeer> peer);
  // Asks the factory for the peer of this kind of component; null when it has none.
  virtual std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory);

  // For a button whose click runs long work while serving the loop and which stops that work
  // when pressed again (Start that becomes Stop): its click handler is entered again.
  void SetTakesClicksWhileBusy(bool takes) { takesClicksWhileBusy_ = takes; }

 protected:
  // Registers with the form; raises Exception when the form already holds the name.
  TComponent(TForm* form, std::string name);

  void Notify(TChange what) const {
    if (peer_) peer_->Changed(what);
  }

  // Runs a handler the user set off (typed text, for one) the way the application runs every
  // handler of its loop: an exception ends the handler and shows the error box. Without an
  // application the exception reaches the caller.
  void RunUserHandler(const std::function<void()>& handler);
  // As RunUserHandler, for a click: a click that arrives while the control's previous click
  // is still being handled (its handler processes messages) is ignored, unless the control
  // takes such clicks. Returns whether the handler ran.
  bool RunUserClick(const std::function<void()>& handler);

  // Lets a form adopt itself as its own owner form.
  void SetOwnerForm(TForm* form) { form_ = form; }

 private:
  std::string name_;
  TForm* form_;
  std::unique_ptr<TPeer> peer_;
  bool clickRunning_ = false;
  bool takesClicksWhileBusy_ = false;
};

}  // namespace korvane
