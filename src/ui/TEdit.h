#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

class TUpDown;

// A one-line text box. Characters are shown in clear, or as bullets in a password box.
class TEdit : public TControl {
 public:
  TEdit(TControl* parent, std::string name, std::string text = "");
  ~TEdit() override;

  const std::string& Text() const { return text_; }
  // Replaces the text; OnChange runs when it differs.
  void SetText(std::string text);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  // A password box shows a bullet for each character; its Text is the real one.
  bool PasswordEcho() const { return passwordEcho_; }
  void SetPasswordEcho(bool passwordEcho);

  // A user's typing that leaves the box holding text: ignored when the box is read-only or
  // out of the user's reach; OnChange runs through the application's handler wrapper.
  // Returns whether the text was taken.
  bool UserType(std::string text);

  // The spin control that shows its position in this box (set by the spin control); null
  // for none.
  TUpDown* Spin() const { return spin_; }
  void SetSpin(TUpDown* spin) { spin_ = spin; }
  // A user's Up or Down arrow key in the box: steps its spin control, as the spin's own arrows
  // do. Returns whether it stepped (false without a spin control or out of the user's reach).
  bool UserArrowKey(bool up);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnChange;

 private:
  std::string text_;
  bool readOnly_ = false;
  bool passwordEcho_ = false;
  TUpDown* spin_ = nullptr;
};

}  // namespace korvane
