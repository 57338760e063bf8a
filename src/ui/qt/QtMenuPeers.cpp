#include "ui/qt/QtMenuPeers.h"

#include "platform/Exception.h"
#include "ui/TForm.h"
#include "ui/qt/QtConvert.h"
#include "ui/qt/QtFormPeer.h"

namespace korvane {

namespace {

QtFormWindow* WindowOf(const TComponent& component) {
  TForm* form = component.OwnerForm();
  auto* peer = form ? dynamic_cast<QtFormPeer*>(form->Peer()) : nullptr;
  if (!peer) throw Exception("No window for the menu " + component.Name());
  return peer->Window();
}

}  // namespace

QWidget* QtMenuContainerPeer::MenuWidgetOf(const TMenuContainer& container) {
  auto* peer = dynamic_cast<QtMenuContainerPeer*>(container.Peer());
  if (!peer || !peer->MenuWidget()) throw Exception("No menu for " + container.Name());
  return peer->MenuWidget();
}

QtMainMenuPeer::QtMainMenuPeer(TMainMenu& menu) {
  QtFormWindow* window = WindowOf(menu);
  bar_ = new QMenuBar(window);
  bar_->setObjectName(ToQString(menu.Name()));
  window->SetMenuBar(bar_);
}

QtMainMenuPeer::~QtMainMenuPeer() {
  if (!bar_) return;
  if (auto* window = dynamic_cast<QtFormWindow*>(bar_->parentWidget())) {
    window->SetMenuBar(nullptr);
  }
  delete bar_.data();
}

QtMenuItemPeer::QtMenuItemPeer(TMenuItem& item) : item_(item) {
  QWidget* parent = MenuWidgetOf(*item.Parent());
  if (item.Count() > 0) {
    menu_ = new QMenu(parent);
    menu_->setObjectName(ToQString(item.Name()));
    action_ = menu_->menuAction();
  } else {
    action_ = new QAction(parent);
    action_->setSeparator(item.IsLine());
    QObject::connect(action_, &QAction::triggered, [this] { item_.UserClick(); });
  }
  action_->setObjectName(ToQString(item.Name()));
  parent->addAction(action_);
}

QtMenuItemPeer::~QtMenuItemPeer() {
  if (menu_) {
    delete menu_.data();  // takes its action along
  } else if (action_) {
    action_->disconnect();
    delete action_.data();
  }
}

void QtMenuItemPeer::SyncAll() {
  for (TChange what : {TChange::Caption, TChange::Visible, TChange::Enabled})
    Changed(what);
}

void QtMenuItemPeer::Changed(TChange what) {
  if (!action_) return;
  switch (what) {
    case TChange::Caption:
      if (menu_) menu_->setTitle(ToQString(item_.Caption()));
      if (!item_.IsLine()) action_->setText(ToQString(item_.Caption()));
      break;
    case TChange::Visible:
      action_->setVisible(item_.Visible());
      break;
    case TChange::Enabled:
      action_->setEnabled(item_.Enabled());
      break;
    default:
      break;
  }
}

}  // namespace korvane
