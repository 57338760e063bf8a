#pragma once

#include <string>

#include "ui/TToggle.h"

namespace korvane {

// One choice of several: the radio buttons that share a parent are one choice, at most one of
// them checked. Setting Checked from the program checks this one and unchecks its siblings and
// runs no handler; a user's click does the same, then runs OnClick.
class TRadioButton : public TToggle {
 public:
  TRadioButton(TControl* parent, std::string name, std::string caption = "");

  // Checking one unchecks the other radio buttons of the parent; unchecking touches no other.
  void SetChecked(bool checked);

  // A user's click: checks the button and runs OnClick through the application's handler
  // wrapper, when the user can reach it. Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;
};

}  // namespace korvane
