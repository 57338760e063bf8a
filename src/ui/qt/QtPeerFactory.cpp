#include "ui/qt/QtPeerFactory.h"

#include "platform/Exception.h"
#include "ui/qt/QtContainerPeers.h"
#include "ui/qt/QtFormPeer.h"
#include "ui/qt/QtInputPeers.h"
#include "ui/qt/QtMemoPeer.h"
#include "ui/qt/QtMenuPeers.h"
#include "ui/qt/QtPictureProgressPeers.h"

namespace korvane {

namespace {

template <class Peer, class Control>
std::unique_ptr<TPeer> Make(Control& control) {
  if (!control.Parent()) throw Exception("No window for the control " + control.Name());
  auto peer = std::make_unique<Peer>(control, QtControlPeer::ContainerOf(*control.Parent()));
  peer->SyncAll();
  return peer;
}

}  // namespace

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TForm& form) {
  auto peer = std::make_unique<QtFormPeer>(form);
  peer->SyncAll();
  return peer;
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TPanel& panel) {
  return Make<QtPanelPeer>(panel);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TGroupBox& groupBox) {
  return Make<QtGroupBoxPeer>(groupBox);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TLabel& label) {
  return Make<QtLabelPeer>(label);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TEdit& edit) {
  return Make<QtEditPeer>(edit);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TMemo& memo) {
  return Make<QtMemoPeer>(memo);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TButton& button) {
  return Make<QtButtonPeer>(button);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TCheckBox& checkBox) {
  return Make<QtCheckBoxPeer>(checkBox);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TRadioButton& radioButton) {
  return Make<QtRadioButtonPeer>(radioButton);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TUpDown& upDown) {
  return Make<QtUpDownPeer>(upDown);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TStatusBar& statusBar) {
  return Make<QtStatusBarPeer>(statusBar);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TMainMenu& menu) {
  return std::make_unique<QtMainMenuPeer>(menu);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TMenuItem& item) {
  auto peer = std::make_unique<QtMenuItemPeer>(item);
  peer->SyncAll();
  return peer;
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TProgressBar& bar) {
  return Make<QtProgressBarPeer>(bar);
}

std::unique_ptr<TPeer> QtPeerFactory::CreatePeer(TImage& image) {
  return Make<QtImagePeer>(image);
}

QWidget* WidgetOf(const TControl& control) {
  auto* peer = dynamic_cast<QtControlPeer*>(control.Peer());
  return peer ? peer->Widget() : nullptr;
}

}  // namespace korvane
