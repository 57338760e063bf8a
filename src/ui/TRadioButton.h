#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// One choice of several: the radio buttons that share a parent are one choice, at most one of
// them checked. Setting Checked from the program checks this one and unchecks its siblings and
// runs no handler; a user's click does the same, then runs OnClick.
class TRadioButton : public TControl {
 public:
  TRadioButton(TControl* parent, std::string name, std::string caption = "");

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }
  // Checking one unchecks the other radio buttons of the parent; unchecking touches no other.
  void SetChecked(bool checked);

  // A user's click: checks the button and runs OnClick through the application's handler
  // wrapper, when the user can reach it. Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnClick;

 private:
  void SetOwnCheck(bool checked);

  std::string caption_;
  bool checked_ = false;
};

}  // namespace korvane
