#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/TComponent.h"

namespace korvane {

class TMenuItem;

// What menu items hang from: a menu bar or another item.
class TMenuContainer : public TComponent {
 public:
  // The items in the order they were made.
  const std::vector<TMenuItem*>& Items() const { return items_; }
  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem& operator[](int index) const { return *items_.at(index); }

 protected:
  using TComponent::TComponent;

 private:
  friend class TMenuItem;
  std::vector<TMenuItem*> items_;
};

// A form's menu bar. The first one made on a form becomes the form's Menu.
class TMainMenu : public TMenuContainer {
 public:
  TMainMenu(TForm* form, std::string name);

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;
};

// A menu entry. In the caption "&" marks the access key ("&&" is a plain "&"); the caption
// "-" makes a separator. A hidden item takes no room; a hidden item of the menu bar hides its
// whole menu.
class TMenuItem : public TMenuContainer {
 public:
  // parent: the menu bar or the item this one opens from; it must be fully built.
  TMenuItem(TMenuContainer* parent, std::string name, std::string caption = "");
  ~TMenuItem() override;

  TMenuContainer* Parent() const { return parent_; }

  const std::string& Caption() const { return caption_; }
  void SetCaption(std::string caption);
  bool IsLine() const { return caption_ == "-"; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  // Runs OnClick as a program would.
  void Click();
  // A user's choice of the item: runs OnClick through the application's handler wrapper when
  // the item and every item above it are visible and enabled, it is not a separator and its
  // form is visible. Returns whether it happened.
  bool UserClick();

  std::unique_ptr<TPeer> MakePeer(TPeerFactory& factory) override;

  std::function<void()> OnClick;

 private:
  TMenuContainer* parent_;
  std::string caption_;
  bool visible_ = true;
  bool enabled_ = true;
};

}  // namespace korvane
