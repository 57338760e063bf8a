#pragma once

#include <functional>
#include <string>

#include "ui/TControl.h"

namespace korvane {

// A line of text. With AutoSize on (the default) the peer sizes it to its text; with it off
// the label keeps its bounds and, with WordWrap, breaks its text into lines within its width.
// A label with an OnClick handler works as a link when given a hand cursor.
class TLabel : public TControl {
 public:
  TLabel(TControl* parent, std::string name, std::string caption = "");

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);

  // Runs OnClick as a program would.
  void Click();
  // A user's click: runs OnClick through the application's handler wrapper when the user can
  // reach the label. Returns whether the click happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnClick;

 private:
  std::string caption_;
  bool autoSize_ = true;
  bool wordWrap_ = false;
};

}  // namespace korvane
