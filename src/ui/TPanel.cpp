#include "ui/TPanel.h"

namespace korvane {

TPanel::TPanel(TControl* parent, std::string name) : TControl(parent, std::move(name)) {}

void TPanel::SetCaption(std::string caption) {
  if (caption_ == caption) return;
  caption_ = std::move(caption);
  Notify(TChange::Caption);
}

void TPanel::SetBevelOuter(TBevelCut bevel) {
  bevelOuter_ = bevel;
  StyleChanged();
}

void TPanel::SetBevelInner(TBevelCut bevel) {
  bevelInner_ = bevel;
  StyleChanged();
}

void TPanel::SetBorderWidth(int width) {
  borderWidth_ = width;
  StyleChanged();
}

void TPanel::StyleChanged() {
  Notify(TChange::Style);
  Realign();
}

TRect TPanel::ClientRect() const {
  int inset = borderWidth_;
  if (bevelOuter_ != bvNone) inset += PanelBevelWidth;
  if (bevelInner_ != bvNone) inset += PanelBevelWidth;
  return {inset, inset, Width() - inset, Height() - inset};
}

std::unique_ptr<TPeer> TPanel::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
