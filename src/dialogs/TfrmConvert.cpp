#include "dialogs/TfrmConvert.h"

#include "dialogs/DmsConversion.h"

namespace korvane {

TfrmConvert::TfrmConvert(TApplication& app) : TForm(app, "frmConvert") {
  SetCaption("Convert \"Degrees,Minutes,Seconds\" to \"Degrees\"");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientSize(466, 99);

  GroupBox1.SetCaption("Degrees, Minutes, Seconds:");
  GroupBox1.SetBounds(8, 8, 265, 83);
  Edit1.SetBounds(12, 34, 65, 21);
  Edit2.SetBounds(85, 34, 65, 21);
  Edit3.SetBounds(158, 34, 95, 21);

  Button1.SetBounds(281, 36, 75, 25);
  Button1.SetDefault(true);

  GroupBox2.SetCaption("Degrees:");
  GroupBox2.SetBounds(364, 8, 94, 83);
  Edit4.SetBounds(10, 34, 74, 21);
  Edit4.SetReadOnly(true);

  Button1.OnClick = [this] { Button1Click(); };
}

void TfrmConvert::Button1Click() {
  std::optional<std::string> degrees =
      ConvertDegreesMinutesSeconds(Edit1.Text(), Edit2.Text(), Edit3.Text());
  if (!degrees) {
    App().ShowMessage("Input Error.");
    return;
  }
  Edit4.SetText(*degrees);
}

}  // namespace korvane
