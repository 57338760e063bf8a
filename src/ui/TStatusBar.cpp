#include "ui/TStatusBar.h"

namespace korvane {

TStatusBar::TStatusBar(TControl* parent, std::string name) : TControl(parent, std::move(name)) {
  SetHeight(DefaultStatusBarHeight);
  SetAlign(alBottom);
}

void TStatusBar::SetSimplePanel(bool simple) {
  simplePanel_ = simple;
  Notify(TChange::Style);
}

void TStatusBar::SetSimpleText(std::string text) {
  if (simpleText_ == text) return;
  simpleText_ = std::move(text);
  Notify(TChange::Text);
}

std::unique_ptr<TPeer> TStatusBar::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
