#include "settings/OptionsWindow.h"

#include <algorithm>

#include "config/Config.h"
#include "net/ServiceAddresses.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/ProgramFolder.h"
#include "settings/PickFolder.h"
#include "task/TaskParameters.h"

namespace korvane {

namespace {

constexpr int OptionsClientWidth = 360;
constexpr int OptionsClientHeight = 380;

// The four proxy rows of the group box: label on the left, box on the right.
constexpr int RowLabelLeft = 12;
constexpr int RowEditLeft = 150;
constexpr int RowEditWidth = 178;
constexpr int FirstRowTop = 48;
constexpr int RowPitch = 32;

void PlaceRow(TLabel& label, TEdit& edit, int row) {
  const int top = FirstRowTop + row * RowPitch;
  label.SetBounds(RowLabelLeft, top + 3, 130, 13);
  edit.SetBounds(RowEditLeft, top, RowEditWidth, 21);
}

}  // namespace

OptionsWindow::OptionsWindow(TApplication& app) : TForm(app, "optionsWindow") {
  SetCaption("Options");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientSize(OptionsClientWidth, OptionsClientHeight);

  defaultPathPanel.SetBounds(8, 8, 344, 60);
  defaultPathPanel.SetBevelInner(bvLowered);
  defaultPathLabel.SetBounds(10, 8, 120, 13);
  defaultPathEdit.SetBounds(10, 26, 286, 21);
  browseFolderButton.SetBounds(302, 24, 32, 25);

  proxyGroup.SetBounds(8, 76, 344, 186);
  useProxyCheckBox.SetBounds(RowLabelLeft, 18, 160, 17);
  PlaceRow(proxyServerLabel, proxyServerEdit, 0);
  PlaceRow(proxyPortLabel, proxyPortEdit, 1);
  PlaceRow(proxyUsernameLabel, proxyUsernameEdit, 2);
  PlaceRow(proxyPasswordLabel, proxyPasswordEdit, 3);
  proxyPasswordEdit.SetPasswordEcho(true);  // not for the eyes of whoever looks at the screen

  serviceGroup.SetBounds(8, 270, 344, 66);
  serviceGroup.SetCaption("Service");
  currentServiceCheckBox.SetBounds(RowLabelLeft, 20, 170, 17);
  connectionsLabel.SetBounds(196, 22, 70, 13);
  connectionsEdit.SetBounds(270, 18, 58, 21);
  classicServiceCheckBox.SetBounds(RowLabelLeft, 42, 316, 17);

  okButton.SetBounds(196, 344, 75, 25);
  okButton.SetDefault(true);
  cancelButton.SetBounds(277, 344, 75, 25);

  OnShow = [this] { FormShow(); };
  okButton.OnClick = [this] { OkClick(); };
  cancelButton.OnClick = [this] { CancelClick(); };
  browseFolderButton.OnClick = [this] { BrowseFolderClick(); };
  currentServiceCheckBox.OnClick = [this] { ChooseService(PanoramaProtocol::Current); };
  classicServiceCheckBox.OnClick = [this] { ChooseService(PanoramaProtocol::Classic); };
}

void OptionsWindow::FormShow() {
  defaultPathEdit.SetText(ReadOptionsDefaultPath());
  const ProxySettings proxy = ReadProxySettings();
  useProxyCheckBox.SetChecked(proxy.UseProxy);
  proxyServerEdit.SetText(proxy.ProxyServer);
  proxyPortEdit.SetText(proxy.ProxyPort);
  proxyUsernameEdit.SetText(proxy.ProxyUsername);
  proxyPasswordEdit.SetText(proxy.ProxyPassword);
  // A name the program does not know leaves both unchecked; OK then keeps it as it is, and
  // Start says what is wrong with it.
  const std::optional<PanoramaProtocol> protocol = ParsePanoramaProtocol(ServiceProtocolText());
  currentServiceCheckBox.SetChecked(protocol == PanoramaProtocol::Current);
  classicServiceCheckBox.SetChecked(protocol == PanoramaProtocol::Classic);
  shownConnections_ = IntToStr(ReadConnections());
  connectionsEdit.SetText(shownConnections_);
  connectionsEdit.SetEnabled(protocol == PanoramaProtocol::Current);
}

void OptionsWindow::ChooseService(PanoramaProtocol protocol) {
  // The two boxes are one choice: the one clicked is chosen, even when clicked while chosen.
  currentServiceCheckBox.SetChecked(protocol == PanoramaProtocol::Current);
  classicServiceCheckBox.SetChecked(protocol == PanoramaProtocol::Classic);
  connectionsEdit.SetEnabled(protocol == PanoramaProtocol::Current);
}

void OptionsWindow::OkClick() {
  // The file holds the proxy password in clear: only its owner may read a new one.
  TIniFile ini(ConfigFilePath(), NewFileAccess::Private);
  ini.WriteString(IniParasSection, DefaultPathKey, defaultPathEdit.Text());
  ini.WriteInteger(ProxySection, UseProxyKey, useProxyCheckBox.Checked() ? 1 : 0);
  ini.WriteString(ProxySection, ProxyServerKey, proxyServerEdit.Text());
  ini.WriteString(ProxySection, ProxyPortKey, proxyPortEdit.Text());
  ini.WriteString(ProxySection, ProxyUsernameKey, proxyUsernameEdit.Text());
  ini.WriteString(ProxySection, ProxyPasswordKey, proxyPasswordEdit.Text());
  if (currentServiceCheckBox.Checked()) {
    ini.WriteString(ServiceSection, ProtocolKey, ProtocolName(PanoramaProtocol::Current));
    const int connections = StrToIntDef(connectionsEdit.Text(), 0);
    if (connectionsEdit.Text() != shownConnections_ && connections >= 1) {
      ini.WriteInteger(DownloadSection, ConnectionsKey, std::min(connections, MaxConnections));
    }
  } else if (classicServiceCheckBox.Checked()) {
    ini.WriteString(ServiceSection, ProtocolKey, ProtocolName(PanoramaProtocol::Classic));
  }
  if (Modal()) {
    SetModalResult(mrOk);
  } else {
    Close();
  }
}

void OptionsWindow::CancelClick() {
  Close();
}

void OptionsWindow::BrowseFolderClick() {
  if (auto folder = PickFolder(App().Dialogs(), "Select path", ""))
    defaultPathEdit.SetText(*folder);
}

}  // namespace korvane
