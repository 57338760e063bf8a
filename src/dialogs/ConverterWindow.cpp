#include "dialogs/ConverterWindow.h"

#include "dialogs/DmsConversion.h"

namespace korvane {

ConverterWindow::ConverterWindow(TApplication& app) : TForm(app, "converterWindow") {
  SetCaption("Convert \"Degrees,Minutes,Seconds\" to \"Degrees\"");
  SetBorderStyle(bsDialog);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientSize(466, 99);

  // The result box is the widest: it must show a whole result such as "0.000277777784503996"
  // (up to 15 significant digits after a sign, "0." and zeros); the inputs hold short numbers.
  inputGroup.SetCaption("Degrees, Minutes, Seconds:");
  inputGroup.SetBounds(8, 8, 192, 83);
  degreesEdit.SetBounds(10, 34, 45, 21);
  minutesEdit.SetBounds(61, 34, 45, 21);
  secondsEdit.SetBounds(112, 34, 70, 21);

  convertButton.SetBounds(208, 36, 70, 25);
  convertButton.SetDefault(true);

  resultGroup.SetCaption("Degrees:");
  resultGroup.SetBounds(286, 8, 172, 83);
  resultEdit.SetBounds(10, 34, 152, 21);
  resultEdit.SetReadOnly(true);

  convertButton.OnClick = [this] { ConvertClick(); };
}

void ConverterWindow::ConvertClick() {
  std::optional<std::string> degrees =
      ConvertDegreesMinutesSeconds(degreesEdit.Text(), minutesEdit.Text(), secondsEdit.Text());
  if (!degrees) {
    App().ShowMessage("Input Error.");
    return;
  }
  resultEdit.SetText(*degrees);
}

}  // namespace korvane
