#pragma once

#include <optional>
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
  // ("Service"/"Protocol"; nothing when no service is chosen), then, for the Map Tiles API, its
  // key ("Service"/"ApiKey"), then, when one of today's protocols is chosen and the
  // connections box was changed to a whole number, "Download"/"Connections" (clamped to
  // 1..MaxConnections), then closes with mrOk. The file is its owner's alone (0600): it holds
  // the proxy password and the key.
  // A key that cannot be written raises IniFileError ("Unable to write to " + path);
  // the window then stays open and the keys written before it keep their new values.
  void OkClick();
  // Cancel: closes without writing anything.
  void CancelClick();
  // A click on a service: that protocol is the one chosen. The connections box is for today's
  // protocols only, so it is enabled only while one of them is chosen; the key box is shown
  // only while the Map Tiles API is.
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
  TRadioButton currentServiceButton{&serviceGroup, "currentServiceButton", "Google Maps, current"};
  TRadioButton classicServiceButton{&serviceGroup, "classicServiceButton", "Classic cbk servers"};
  TRadioButton mapTilesServiceButton{&serviceGroup, "mapTilesServiceButton",
                                     "Map Tiles API, with your key (billed)"};
  TLabel connectionsLabel{&serviceGroup, "connectionsLabel", "Connections"};
  TEdit connectionsEdit{&serviceGroup, "connectionsEdit"};
  TLabel apiKeyLabel{&serviceGroup, "apiKeyLabel", "API key"};
  TEdit apiKeyEdit{&serviceGroup, "apiKeyEdit"};

  TButton okButton{this, "okButton", "OK"};
  TButton cancelButton{this, "cancelButton", "Cancel"};

 private:
  // Checks the protocol's button alone (none for nothing) and shows the boxes it uses.
  void ShowService(std::optional<PanoramaProtocol> protocol);
  std::optional<PanoramaProtocol> ChosenService() const;

  std::string shownConnections_;  // what FormShow put in connectionsEdit
};

}  // namespace korvane
