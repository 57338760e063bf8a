#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// What a check box and a radio button share: a caption, a checked state whose change the peer
// is told of, and the handler a user's click runs. Setting the state from the program runs no
// handler.
class TToggle : public TControl {
 public:
  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Checked() const { return checked_; }

  std::function<void()> OnClick;

 protected:
  TToggle(TControl* parent, std::string name, std::string caption);
  // This control's own state only.
  void SetOwnCheck(bool checked);
  // A user's click: clicked() changes the state, then OnClick runs, through the application's
  // handler wrapper and only when the user can reach the control. Returns whether it happened.
  bool RunClick(const std::function<void()>& clicked);

 private:
  std::string caption_;
  bool checked_ = false;
};

}  // namespace korvane
