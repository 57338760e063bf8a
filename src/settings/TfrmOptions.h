#pragma once

#include "ui/Controls.h"

namespace korvane {

// The Options window: the default folder for new tasks and the proxy settings of the
// configuration file. It keeps nothing between showings: every showing fills the boxes from
// the file as it is then, OK writes them back, Cancel forgets the edits. There is no cancel
// key: Esc does nothing. The main window shows it modally and ignores its result.
class TfrmOptions : public TForm {
 public:
  explicit TfrmOptions(TApplication& app);

  // Fills every box from the configuration file (defaults for anything absent).
  void FormShow();
  // OK: writes the six keys in order, the texts exactly as typed, then closes with mrOk.
  // A key that cannot be written raises EIniFileException ("Unable to write to " + path);
  // the window then stays open and the keys written before it keep their new values.
  void Button1Click();
  // Cancel: closes without writing anything.
  void Button2Click();
  // The folder button: a chosen folder replaces the text of Edit12 (written only on OK).
  void Button3Click();

  TPanel Panel1{this, "Panel1"};
  TLabel Label1{&Panel1, "Label1", "Default path to save :"};
  TEdit Edit12{&Panel1, "Edit12"};
  TButton Button3{&Panel1, "Button3", "..."};

  TGroupBox GroupBox1{this, "GroupBox1"};
  TCheckBox CheckBoxUseProxy{&GroupBox1, "CheckBoxUseProxy", "Use proxy server"};
  TLabel Label2{&GroupBox1, "Label2", "Proxy Server Name (IP)"};
  TEdit EditProxyServer{&GroupBox1, "EditProxyServer"};
  TLabel Label3{&GroupBox1, "Label3", "Proxy Port"};
  TEdit EditProxyPort{&GroupBox1, "EditProxyPort"};
  TLabel Label4{&GroupBox1, "Label4", "Proxy Username"};
  TEdit EditProxyUsername{&GroupBox1, "EditProxyUsername"};
  TLabel Label5{&GroupBox1, "Label5", "Proxy Password"};
  TEdit EditProxyPassword{&GroupBox1, "EditProxyPassword"};

  TButton Button1{this, "Button1", "OK"};
  TButton Button2{this, "Button2", "Cancel"};
};

}  // namespace korvane
