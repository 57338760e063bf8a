#include "ui/TControl.h"

#include <algorithm>

#include "ui/TForm.h"

namespace korvane {

TControl::TControl(TControl* parent, std::string name)
    : TComponent(parent ? parent->OwnerForm() : nullptr, std::move(name)), parent_(parent) {
  if (parent_) parent_->children_.push_back(this);
}

TControl::~TControl() {
  // The parent is still whole: children are destroyed before their containers.
  if (parent_) std::erase(parent_->children_, this);
}

void TControl::SetVisible(bool visible) {
  if (visible_ == visible) return;
  visible_ = visible;
  Notify(TChange::Visible);
  ParentNeedsRealign();
}

void TControl::SetEnabled(bool enabled) {
  if (enabled_ == enabled) return;
  enabled_ = enabled;
  Notify(TChange::Enabled);
}

void TControl::SetHint(std::string hint) {
  if (hint_ == hint) return;
  hint_ = std::move(hint);
  Notify(TChange::Hint);
}

void TControl::SetShowHint(bool show) {
  if (showHint_ == show) return;
  showHint_ = show;
  Notify(TChange::Hint);
}

void TControl::SetBounds(int left, int top, int width, int height) {
  TRect bounds{left, top, left + std::max(width, 0), top + std::max(height, 0)};
  if (bounds == bounds_) return;
  bool resized = bounds.Width() != bounds_.Width() || bounds.Height() != bounds_.Height();
  bounds_ = bounds;
  Notify(TChange::Bounds);
  if (resized) Realign();
  ParentNeedsRealign();
}

void TControl::SetAlign(TAlign align) {
  if (align_ == align) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

const TFont& TControl::Font() const {
  if (parentFont_ && parent_) return parent_->Font();
  return font_;
}

void TControl::SetFont(const TFont& font) {
  parentFont_ = false;
  font_ = font;
  PropagateParentFont();
}

void TControl::SetParentFont(bool parentFont) {
  if (parentFont_ == parentFont) return;
  if (!parentFont) font_ = Font();  // keep what it showed until told otherwise
  parentFont_ = parentFont;
  PropagateParentFont();
}

void TControl::PropagateParentFont() {
  Notify(TChange::Font);
  for (TControl* child : children_) {
    if (child->parentFont_) child->PropagateParentFont();
  }
}

void TControl::SetColor(TColor color) {
  if (color_ == color) return;
  color_ = color;
  Notify(TChange::Color);
}

void TControl::SetCursor(TCursor cursor) {
  if (cursor_ == cursor) return;
  cursor_ = cursor;
  Notify(TChange::Cursor);
}

bool TControl::CanUserAct() const {
  for (const TControl* control = this; control; control = control->parent_) {
    if (!control->visible_ || !control->enabled_) return false;
  }
  // A free-standing control has no window a user could reach.
  const TForm* form = OwnerForm();
  return form && form->Visible() && form->Enabled();
}

TRect TControl::ClientRect() const {
  return {0, 0, Width(), Height()};
}

void TControl::ParentNeedsRealign() {
  if (parent_ && align_ != alNone && !parent_->aligning_) parent_->Realign();
}

void TControl::Realign() {
  TRect area = ClientRect();
  aligning_ = true;
  auto place = [](TControl* child, int left, int top, int width, int height) {
    child->SetBounds(left, top, std::max(width, 0), std::max(height, 0));
  };
  auto each = [this](TAlign align, auto&& action) {
    for (TControl* child : children_) {
      if (child->align_ == align && child->visible_) action(child);
    }
  };
  each(alTop, [&](TControl* child) {
    int height = child->Height();
    place(child, area.Left, area.Top, area.Width(), height);
    area.Top += height;
  });
  each(alBottom, [&](TControl* child) {
    int height = child->Height();
    area.Bottom -= height;
    place(child, area.Left, area.Bottom, area.Width(), height);
  });
  each(alLeft, [&](TControl* child) {
    int width = child->Width();
    place(child, area.Left, area.Top, width, area.Height());
    area.Left += width;
  });
  each(alRight, [&](TControl* child) {
    int width = child->Width();
    area.Right -= width;
    place(child, area.Right, area.Top, width, area.Height());
  });
  each(alClient,
       [&](TControl* child) { place(child, area.Left, area.Top, area.Width(), area.Height()); });
  aligning_ = false;
}

}  // namespace korvane
