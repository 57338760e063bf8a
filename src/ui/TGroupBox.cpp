#include "ui/TGroupBox.h"

namespace korvane {

TGroupBox::TGroupBox(TControl* parent, std::string name) : TControl(parent, std::move(name)) {}

void TGroupBox::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

TRect TGroupBox::ClientRect() const {
  int frame = GroupBoxFrameWidth;
  return {frame, frame + Font().Height, Width() - frame, Height() - frame};
}

std::unique_ptr<TPeer> TGroupBox::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
