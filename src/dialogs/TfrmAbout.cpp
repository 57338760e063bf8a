#include "dialogs/TfrmAbout.h"

namespace korvane {

namespace {

// The two links start clear of their captions ("Homepage:", "Email:") also in fonts wider than
// Tahoma, and end at the panel's right margin.
constexpr int LinkLeft = 90;
constexpr int LinkWidth = 209;

// The look of an address that can be clicked.
void MakeLink(TLabel& label) {
  TFont font = label.Font();
  font.Color = clGreen;
  font.Underline = true;
  label.SetFont(font);
  label.SetCursor(crHandPoint);
}

std::string Ask(const std::function<std::string()>& source) {
  return source ? source() : std::string();
}

}  // namespace

TfrmAbout::TfrmAbout(TApplication& app, TAboutSources sources)
    : TForm(app, "frmAbout"), sources_(std::move(sources)) {
  SetCaption("About");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(315, 181);

  Panel1.SetBounds(0, 0, 315, 145);
  Panel1.SetAlign(alTop);
  Panel1.SetBevelInner(bvLowered);

  Label3.SetAutoSize(false);
  Label3.SetWordWrap(true);
  Label3.SetBounds(16, 14, 283, 36);
  TFont titleFont = Label3.Font();
  titleFont.Height = 16;
  titleFont.Bold = true;
  titleFont.Underline = true;
  Label3.SetFont(titleFont);

  Label8.SetBounds(16, 58, 283, 13);
  Label5.SetBounds(16, 86, 60, 13);
  Label4.SetBounds(LinkLeft, 86, LinkWidth, 13);
  MakeLink(Label4);
  Label6.SetBounds(16, 110, 60, 13);
  Label7.SetBounds(LinkLeft, 110, LinkWidth, 13);
  MakeLink(Label7);

  bLater.SetBounds(232, 151, 75, 25);
  bLater.SetDefault(true);

  OnShow = [this] { FormShow(); };
  Label4.OnClick = [this] { Label4Click(); };
  Label7.OnClick = [this] { Label7Click(); };
  bLater.OnClick = [this] { bLaterClick(); };
}

void TfrmAbout::FormShow() {
  Label4.SetCaption(Ask(sources_.HomePageAddress));
  Label7.SetCaption(Ask(sources_.ContactAddress));
  Label3.SetCaption(Ask(sources_.MainCaption));
}

void TfrmAbout::Label4Click() {
  App().Dialogs().ShellOpen(Ask(sources_.HomePageAddress));
}

void TfrmAbout::Label7Click() {
  App().Dialogs().ShellOpen("mailto:" + Ask(sources_.ContactAddress));
}

void TfrmAbout::bLaterClick() {
  if (Modal()) {
    SetModalResult(mrOk);
  } else {
    Close();
  }
}

}  // namespace korvane
