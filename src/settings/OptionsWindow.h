#pragma once

#include <string>

#include "task/PanoramaProtocol.h"
#include "ui/Controls.h"

namespace korvane {

// The Options window: the default folder for new tasks, the proxy settings and the Street View
// service protocol of the configuration file. It keeps nothing between showings: every showing
// fills the boxes from the file as it is then, OK writes them back, Cancel forgets the edits. There
// is no cancel key: Esc does nothing. The main window shows it modally and ignores its result.
class OptionsWindow : public TForm {
 public:
  explicit OptionsWindow(TApplication& app);

  // Fills every box from the configuration file (defaults for anything absent).
  void FormShow();
  // OK: writes the six keys in order, the texts exactly as typed, then the chosen protocol
  // ("Service"/"Protocol"; nothing when neither box is checked), then, when the current one is
  // chosen and the connections box was changed to a whole number, "Download"/"Connections"
  // (clamped to 1..MaxConnections), then closes with mrOk.
  // A key that cannot be written raises IniFileError ("Unable to write to " + path);
  // the window then stays open and the keys written before it keep their new values.
  void OkClick();
  // Cancel: closes without writing anything.
  void CancelClick();
  // A click on either service box: that protocol is the one chosen. The connections box is
  // for today's protocols only, so it is enabled only while the current one is chosen.
  void ChooseService(PanoramaProtocol protocol);
  // The folder button: a chosen folder replaces the text of defaultPathEdit (written only on OK).
  void BrowseFolderClick();

  TPanel defaultPathPanel{this, "defaultPathPanel"};
  TLabel defaultPathLabel{&defaultPathPanel, "defaultPathLabel", "Default path to save :"};
  TEdit defaultPathEdit{&defaultPathPanel, "defaultPathEdit"};
  TButton browseFolderButton{&defaultPathPanel, "browseFolderButton", "..."};

  TGroupBox proxyGroup{this, "proxyGroup"};
  TCheckBox useProxyCheckBox{&proxyGroup, "useProxyCheckBox", "Use proxy server"};
  TLabel proxyServerLabel{&proxyGroup, "proxyServerLabel", "Proxy Server Name (IP)"};
  TEdit proxyServerEdit{&proxyGroup, "proxyServerEdit"};
  TLabel proxyPortLabel{&proxyGroup, "proxyPortLabel", "Proxy Port"};
  TEdit proxyPortEdit{&proxyGroup, "proxyPortEdit"};
  TLabel proxyUsernameLabel{&proxyGroup, "proxyUsernameLabel", "Proxy Username"};
  TEdit proxyUsernameEdit{&proxyGroup, "proxyUsernameEdit"};
  TLabel proxyPasswordLabel{&proxyGroup, "proxyPasswordLabel", "Proxy Password"};
  TEdit proxyPasswordEdit{&proxyGroup, "proxyPasswordEdit"};

  TGroupBox serviceGroup{this, "serviceGroup"};
  TCheckBox currentServiceCheckBox{&serviceGroup, "currentServiceCheckBox", "Google Maps, current"};
  TCheckBox classicServiceCheckBox{&serviceGroup, "classicServiceCheckBox", "Classic cbk servers"};
  TLabel connectionsLabel{&serviceGroup, "connectionsLabel", "Connections"};
  TEdit connectionsEdit{&serviceGroup, "connectionsEdit"};

  TButton okButton{this, "okButton", "OK"};
  TButton cancelButton{this, "cancelButton", "Cancel"};

 private:
  std::string shownConnections_;  // what FormShow put in connectionsEdit
};

}  // namespace korvane
