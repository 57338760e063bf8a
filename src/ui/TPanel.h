#pragma once

#include <string>

#include "ui/TControl.h"

namespace korvane {

// A container with an optional caption and bevelled edges. Its bevels and border width shrink
// the room its docked children share.
class TPanel : public TControl {
 public:
  TPanel(TControl* parent, std::string name);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut bevel);
  TBevelCut BevelInner() const { return bevelInner_; }
  void SetBevelInner(TBevelCut bevel);
  int BorderWidth() const { return borderWidth_; }
  void SetBorderWidth(int width);

  TRect ClientRect() const override;
  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  void StyleChanged();

  std::string caption_;
  TBevelCut bevelOuter_ = bvRaised;
  TBevelCut bevelInner_ = bvNone;
  int borderWidth_ = 0;
};

}  // namespace korvane
