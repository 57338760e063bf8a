#pragma once

#include <string>

#include "ui/TControl.h"

namespace korvane {

// A framed container with an optional title on its top edge.
class TGroupBox : public TControl {
 public:
  TGroupBox(TControl* parent, std::string name);

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);

  TRect ClientRect() const override;
  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

 private:
  std::string caption_;
};

}  // namespace korvane
