#pragma once

#include <string>

#include "ui/TToggle.h"

namespace korvane {

// A check box. Setting Checked from the program runs no handler; a user's click toggles it
// and then runs OnClick.
class TCheckBox : public TToggle {
 public:
  TCheckBox(TControl* parent, std::string name, std::string caption = "");

  void SetChecked(bool checked) { SetOwnCheck(checked); }

  // A user's click: toggles the box and runs OnClick through the application's handler
  // wrapper, when the user can reach it. Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;
};

}  // namespace korvane
