#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// A one-line text box. Characters are always shown in clear.
class TEdit : public TControl {
 public:
  TEdit(TControl* parent, std::string name, std::string text = "");

  const std::string& Text() const { return text_; }
  // Replaces the text; OnChange runs when it differs.
  void SetText(std::string text);
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);

  // A user's typing that leaves the box holding text: ignored when the box is read-only or
  // out of the user's reach; OnChange runs through the application's handler wrapper.
  // Returns whether the text was taken.
  bool UserType(std::string text);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnChange;

 private:
  std::string text_;
  bool readOnly_ = false;
};

}  // namespace korvane
