#pragma once

#include <string>

#include "ui/TControl.h"

namespace korvane {

// A status bar, docked to the bottom of its form by default, showing one simple panel.
class TStatusBar : public TControl {
 public:
  TStatusBar(TControl* parent, std::string name);

  bool SimplePanel() const { return simplePanel_; }
  void SetSimplePanel(bool simple);
  const std::string& SimpleText() const { return simpleText_; }
  void SetSimpleText(std::string text);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  bool simplePanel_ = true;
  std::string simpleText_;
};

}  // namespace korvane
