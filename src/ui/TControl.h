#pragma once

#include <string>
#include <vector>

#include "ui/TComponent.h"
#include "ui/UiTypes.h"

namespace korvane {

// A visible control: bounds in its parent's coordinates, docking (Align), visibility,
// enabled state, tooltip, font, colour and cursor. Containers (forms, panels, group boxes) lay
// out their docked children themselves, so the layout is the same with or without a screen.
class TControl : public TComponent {
 public:
  ~TControl() override;

  TControl* Parent() const { return parent_; }
  // The children in the order they were created.
  const std::vector<TControl*>& Controls() const { return children_; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // The tooltip, shown only while ShowHint is on (on by default).
  const std::string& Hint() const { return hint_; }
  void SetHint(std::string hint);
  bool ShowHint() const { return showHint_; }
  void SetShowHint(bool show);

  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  const TRect& BoundsRect() const { return bounds_; }
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int left) { SetBounds(left, Top(), Width(), Height()); }
  void SetTop(int top) { SetBounds(Left(), top, Width(), Height()); }
  void SetWidth(int width) { SetBounds(Left(), Top(), width, Height()); }
  void SetHeight(int height) { SetBounds(Left(), Top(), Width(), height); }

  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);

  // The effective font: the parent's while ParentFont is on (the default), else the control's
  // own. SetFont turns ParentFont off.
  const TFont& Font() const;
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool parentFont);

  TColor Color() const { return color_; }
  void SetColor(TColor color);
  TCursor Cursor() const { return cursor_; }
  void SetCursor(TCursor cursor);

  // True when a user could reach the control: it, every container above it and its form are
  // visible and enabled. User actions (UserClick, UserType, ...) do nothing otherwise, and a
  // click is not taken while the control's previous click is still being handled.
  bool CanUserAct() const;

  // The area docked children share, in the control's own coordinates.
  virtual TRect ClientRect() const;

 protected:
  // parent: the container (form, panel, group box) the control sits in; it must be fully
  // built. The control belongs to the parent's form.
  TControl(TControl* parent, std::string name);

  // Docks the aligned children into ClientRect: top ones first (in creation order, from the
  // top down), then bottom ones (from the bottom up), left, right, and the client ones last.
  // Hidden children take no room.
  void Realign();

 private:
  void PropagateParentFont();
  void ParentNeedsRealign();

  TControl* parent_;
  std::vector<TControl*> children_;
  bool visible_ = true;
  bool enabled_ = true;
  std::string hint_;
  bool showHint_ = true;
  TRect bounds_;
  TAlign align_ = alNone;
  TFont font_;
  bool parentFont_ = true;
  TColor color_ = clDefault;
  TCursor cursor_ = crDefault;
  bool aligning_ = false;  // Realign is moving the children; they must not call it back
};

}  // namespace korvane
