#include "ui/TLabel.h"

namespace korvane {

TLabel::TLabel(TControl* parent, std::string name, std::string caption)
    : TControl(parent, std::move(name)), caption_(std::move(caption)) {}

void TLabel::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  Notify(TChange::Style);
}

void TLabel::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  Notify(TChange::Style);
}

void TLabel::Click() {
  if (OnClick) OnClick();
}

bool TLabel::UserClick() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] { Click(); });
}

std::unique_ptr<TPeer> TLabel::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
