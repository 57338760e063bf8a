#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// A push button. Default makes Enter press it, Cancel makes Esc press it. A ModalResult other
// than mrNone is handed to the form after OnClick, which closes a modal form.
class TButton : public TControl {
 public:
  TButton(TControl* parent, std::string name, std::string caption = "");

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool Default() const { return default_; }
  void SetDefault(bool isDefault);
  bool Cancel() const { return cancel_; }
  void SetCancel(bool isCancel);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }

  // Runs OnClick as a program would; its exceptions reach the caller.
  void Click();
  // A user's click: when the user can reach the button and its previous click is not still
  // being handled, runs Click through the application's handler wrapper (an exception shows
  // the error box). Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool default_ = false;
  bool cancel_ = false;
  TModalResult modalResult_ = mrNone;
};

// A button that may carry a glyph; here it behaves as a TButton.
class TBitBtn : public TButton {
 public:
  using TButton::TButton;
};

}  // namespace korvane
