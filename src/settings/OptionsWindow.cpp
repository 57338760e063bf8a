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
constexpr int OptionsClientHeight = 430;

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

  serviceGroup.SetBounds(8, 270, 344, 116);
  serviceGroup.SetCaption("Service");
  currentServiceButton.SetBounds(RowLabelLeft, 20, 170, 17);
  connectionsLabel.SetBounds(196, 22, 70, 13);
  connectionsEdit.SetBounds(270, 18, 58, 21);
  classicServiceButton.SetBounds(RowLabelLeft, 42, 316, 17);
  mapTilesServiceButton.SetBounds(RowLabelLeft, 64, 316, 17);
  apiKeyLabel.SetBounds(30, 90, 60, 13);
  apiKeyEdit.SetBounds(96, 86, 232, 21);
  apiKeyEdit.SetPasswordEcho(true);  // a billed secret: bullets, never the key itself

  okButton.SetBounds(196, 394, 75, 25);
  okButton.SetDefault(true);
  cancelButton.SetBounds(277, 394, 75, 25);

  OnShow = [this] { FormShow(); };
  okButton.OnClick = [this] { OkClick(); };
  cancelButton.OnClick = [this] { CancelClick(); };
  browseFolderButton.OnClick = [this] { BrowseFolderClick(); };
  currentServiceButton.OnClick = [this] { ChooseService(PanoramaProtocol::Current); };
  classicServiceButton.OnClick = [this] { ChooseService(PanoramaProtocol::Classic); };
  mapTilesServiceButton.OnClick = [this] { ChooseService(PanoramaProtocol::MapTiles); };
}

void OptionsWindow::FormShow() {
  defaultPathEdit.SetText(ReadOptionsDefaultPath());
  const ProxySettings proxy = ReadProxySettings();
  useProxyCheckBox.SetChecked(proxy.UseProxy);
  proxyServerEdit.SetText(proxy.ProxyServer);
  proxyPortEdit.SetText(proxy.ProxyPort);
  proxyUsernameEdit.SetText(proxy.ProxyUsername);
  proxyPasswordEdit.SetText(proxy.ProxyPassword);
  shownConnections_ = IntToStr(ReadConnections());
  connectionsEdit.SetText(shownConnections_);
  apiKeyEdit.SetText(ReadConfiguredApiKey());
  // A name the program does not know leaves no service chosen; OK then keeps it as it is, and
  // Start says what is wrong with it.
  ShowService(ParsePanoramaProtocol(ServiceProtocolText()));
}

void OptionsWindow::ChooseService(PanoramaProtocol protocol) {
  ShowService(protocol);
}

void OptionsWindow::ShowService(std::optional<PanoramaProtocol> protocol) {
  currentServiceButton.SetChecked(protocol == PanoramaProtocol::Current);
  classicServiceButton.SetChecked(protocol == PanoramaProtocol::Classic);
  mapTilesServiceButton.SetChecked(protocol == PanoramaProtocol::MapTiles);
  connectionsEdit.SetEnabled(protocol && IsTodaysProtocol(*protocol));
  apiKeyLabel.SetVisible(protocol == PanoramaProtocol::MapTiles);
  apiKeyEdit.SetVisible(protocol == PanoramaProtocol::MapTiles);
}

std::optional<PanoramaProtocol> OptionsWindow::ChosenService() const {
  if (currentServiceButton.Checked()) return PanoramaProtocol::Current;
  if (classicServiceButton.Checked()) return PanoramaProtocol::Classic;
  if (mapTilesServiceButton.Checked()) return PanoramaProtocol::MapTiles;
  return std::nullopt;
}

void OptionsWindow::OkClick() {
  // The file holds the proxy password and the key in clear: only its owner may read it (every
  // write replaces the file by a new one of that access).
  TIniFile ini(ConfigFilePath(), NewFileAccess::Private);
  ini.WriteString(IniParasSection, DefaultPathKey, defaultPathEdit.Text());
  ini.WriteInteger(ProxySection, UseProxyKey, useProxyCheckBox.Checked() ? 1 : 0);
  ini.WriteString(ProxySection, ProxyServerKey, proxyServerEdit.Text());
  ini.WriteString(ProxySection, ProxyPortKey, proxyPortEdit.Text());
  ini.WriteString(ProxySection, ProxyUsernameKey, proxyUsernameEdit.Text());
  ini.WriteString(ProxySection, ProxyPasswordKey, proxyPasswordEdit.Text());
  if (const std::optional<PanoramaProtocol> chosen = ChosenService()) {
    ini.WriteString(ServiceSection, ProtocolKey, ProtocolName(*chosen));
    if (chosen == PanoramaProtocol::MapTiles)
      ini.WriteString(ServiceSection, ApiKeyKey, apiKeyEdit.Text());
    const int connections = StrToIntDef(connectionsEdit.Text(), 0);
    if (IsTodaysProtocol(*chosen) && connectionsEdit.Text() != shownConnections_ &&
        connections >= 1) {
      ini.WriteInteger(DownloadSection, ConnectionsKey, std::min(connections, MaxConnections));
    }
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
