#include "dialogs/TfrmConvert.h"

#include "dialogs/DmsConversion.h"

namespace korvane {

TfrmConvert::TfrmConvert(TApplication& app) : TForm(app, "frmConvert") {
  SetCaption("Convert \"Degrees,Minutes,Seconds\" to \"Degrees\"");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientSize(466, 99);

  // The result box is the widest: it must show a whole result such as "0.000277777784503996"
  // (up to 15 significant digits after a sign, "0." and zeros); the inputs hold short numbers.
  GroupBox1.SetCaption("Degrees, Minutes, Seconds:");
  GroupBox1.SetBounds(8, 8, 192, 83);
  Edit1.SetBounds(10, 34, 45, 21);
  Edit2.SetBounds(61, 34, 45, 21);
  Edit3.SetBounds(112, 34, 70, 21);

  Button1.SetBounds(208, 36, 70, 25);
  Button1.SetDefault(true);

  GroupBox2.SetCaption("Degrees:");
  GroupBox2.SetBounds(286, 8, 172, 83);
  Edit4.SetBounds(10, 34, 152, 21);
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
