#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// A check box. Setting Checked from the program runs no handler; a user's click toggles it
// and then runs OnClick.
class TCheckBox : public TControl {
 public:
  TCheckBox(TControl* parent, std::string name, std::string caption = "");

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

  // A user's click: toggles the box and runs OnClick through the application's handler
  // wrapper, when the user can reach it. Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool checked_ = false;
};

}  // namespace korvane
