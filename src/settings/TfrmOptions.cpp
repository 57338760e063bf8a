#include "settings/TfrmOptions.h"

#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "settings/Config.h"
#include "settings/PickFolder.h"

namespace korvane {

namespace {

constexpr int OptionsClientWidth = 360;
constexpr int OptionsClientHeight = 310;

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

TfrmOptions::TfrmOptions(TApplication& app) : TForm(app, "frmOptions") {
  SetCaption("Options");
  SetBorderStyle(bsDialog);
  SetPosition(poMainFormCenter);
  SetClientSize(OptionsClientWidth, OptionsClientHeight);

  Panel1.SetBounds(8, 8, 344, 60);
  Panel1.SetBevelInner(bvLowered);
  Label1.SetBounds(10, 8, 120, 13);
  Edit12.SetBounds(10, 26, 286, 21);
  Button3.SetBounds(302, 24, 32, 25);

  GroupBox1.SetBounds(8, 76, 344, 186);
  CheckBoxUseProxy.SetBounds(RowLabelLeft, 18, 160, 17);
  PlaceRow(Label2, EditProxyServer, 0);
  PlaceRow(Label3, EditProxyPort, 1);
  PlaceRow(Label4, EditProxyUsername, 2);
  PlaceRow(Label5, EditProxyPassword, 3);

  Button1.SetBounds(196, 274, 75, 25);
  Button1.SetDefault(true);
  Button2.SetBounds(277, 274, 75, 25);

  OnShow = [this] { FormShow(); };
  Button1.OnClick = [this] { Button1Click(); };
  Button2.OnClick = [this] { Button2Click(); };
  Button3.OnClick = [this] { Button3Click(); };
}

void TfrmOptions::FormShow() {
  Edit12.SetText(ReadOptionsDefaultPath());
  const ProxySettings proxy = ReadProxySettings();
  CheckBoxUseProxy.SetChecked(proxy.UseProxy);
  EditProxyServer.SetText(proxy.ProxyServer);
  EditProxyPort.SetText(proxy.ProxyPort);
  EditProxyUsername.SetText(proxy.ProxyUsername);
  EditProxyPassword.SetText(proxy.ProxyPassword);
}

void TfrmOptions::Button1Click() {
  TIniFile ini(ConfigFilePath());
  ini.WriteString(IniParasSection, DefaultPathKey, Edit12.Text());
  ini.WriteInteger(ProxySection, UseProxyKey, CheckBoxUseProxy.Checked() ? 1 : 0);
  ini.WriteString(ProxySection, ProxyServerKey, EditProxyServer.Text());
  ini.WriteString(ProxySection, ProxyPortKey, EditProxyPort.Text());
  ini.WriteString(ProxySection, ProxyUsernameKey, EditProxyUsername.Text());
  ini.WriteString(ProxySection, ProxyPasswordKey, EditProxyPassword.Text());
  if (Modal()) {
    SetModalResult(mrOk);
  } else {
    Close();
  }
}

void TfrmOptions::Button2Click() {
  Close();
}

void TfrmOptions::Button3Click() {
  if (auto folder = PickFolder(App().Dialogs(), "Select path", "")) Edit12.SetText(*folder);
}

}  // namespace korvane
