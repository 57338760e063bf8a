#pragma once

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include "ui/TMenuItem.h"
#include "ui/TPeer.h"

namespace korvane {

// What menu items are added to: a menu bar or a drop-down menu.
class QtMenuContainerPeer : public TPeer {
 public:
  virtual QWidget* MenuWidget() const = 0;
  // The container peer of a menu bar or item; throws Exception when it has no Qt peer.
  static QWidget* MenuWidgetOf(const TMenuContainer& container);
};

// The form's menu bar, placed by the form's window above its client area.
class QtMainMenuPeer final : public QtMenuContainerPeer {
 public:
  explicit QtMainMenuPeer(TMainMenu& menu);
  ~QtMainMenuPeer() override;

  QWidget* MenuWidget() const override { return bar_; }
  void Changed(TChange) override {}

 private:
  QPointer<QMenuBar> bar_;
};

// An item: a drop-down menu when it has items of its own, else an action (a separator for
// "-"). "&" marks the access key as in the model.
class QtMenuItemPeer final : public QtMenuContainerPeer {
 public:
  explicit QtMenuItemPeer(TMenuItem& item);
  ~QtMenuItemPeer() override;

  QWidget* MenuWidget() const override { return menu_; }
  QAction* Action() const { return action_; }
  void Changed(TChange what) override;
  void SyncAll();

 private:
  TMenuItem& item_;
  QPointer<QMenu> menu_;
  QPointer<QAction> action_;
};

}  // namespace korvane
