#include "ui/TMemo.h"

namespace korvane {

int TMemoLines::Add(std::string line) {
  lines_.push_back(std::move(line));
  memo_.LinesChanged(TChange::LineAppended);
  return Count() - 1;
}

void TMemoLines::Assign(TStringList lines) {
  lines_ = std::move(lines);
  memo_.LinesChanged(TChange::LinesReplaced);
}

void TMemoLines::SetText(std::string_view text) {
  Assign(SplitLines(text));
}

void TMemoLines::Clear() {
  Assign({});
}

void TMemoLines::LoadFromFile(const std::string& path) {
  Assign(LoadLines(path));
}

void TMemoLines::SaveToFile(const std::string& path) const {
  SaveLines(path, lines_);
}

TMemo::TMemo(TControl* parent, std::string name) : TControl(parent, std::move(name)) {}

void TMemo::SetReadOnly(bool readOnly) {
  if (readOnly_ == readOnly) return;
  readOnly_ = readOnly;
  Notify(TChange::ReadOnly);
}

void TMemo::SetScrollBars(TScrollStyle scrollBars) {
  scrollBars_ = scrollBars;
  Notify(TChange::Style);
}

void TMemo::SetWordWrap(bool wordWrap) {
  wordWrap_ = wordWrap;
  Notify(TChange::Style);
}

void TMemo::SetBorderStyle(TBorderStyle style) {
  borderStyle_ = style;
  Notify(TChange::Style);
}

void TMemo::DblClick() {
  if (OnDblClick) OnDblClick();
}

bool TMemo::UserDblClick() {
  if (!CanUserAct()) return false;
  return RunUserClick([this] { DblClick(); });
}

bool TMemo::UserEdit(std::string_view text) {
  if (readOnly_ || !CanUserAct()) return false;
  RunUserHandler([&] { Lines.SetText(text); });
  return true;
}

void TMemo::LinesChanged(TChange what) {
  Notify(what);
  if (OnChange) OnChange();
}

std::unique_ptr<TPeer> TMemo::MakePeer(TPeerFactory& factory) {
  return factory.CreatePeer(*this);
}

}  // namespace korvane
