#include "dialogs/AboutWindow.h"

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

AboutWindow::AboutWindow(TApplication& app, AboutSources sources)
    : TForm(app, "aboutWindow"), sources_(std::move(sources)) {
  SetCaption("About");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(315, 181);

  textPanel.SetBounds(0, 0, 315, 145);
  textPanel.SetAlign(alTop);
  textPanel.SetBevelInner(bvLowered);

  titleLabel.SetAutoSize(false);
  titleLabel.SetWordWrap(true);
  titleLabel.SetBounds(16, 14, 283, 36);
  TFont titleFont = titleLabel.Font();
  titleFont.Height = 16;
  titleFont.Bold = true;
  titleFont.Underline = true;
  titleLabel.SetFont(titleFont);

  developerLabel.SetBounds(16, 58, 283, 13);
  homePageCaptionLabel.SetBounds(16, 86, 60, 13);
  homePageLabel.SetBounds(LinkLeft, 86, LinkWidth, 13);
  MakeLink(homePageLabel);
  emailCaptionLabel.SetBounds(16, 110, 60, 13);
  emailLabel.SetBounds(LinkLeft, 110, LinkWidth, 13);
  MakeLink(emailLabel);

  okButton.SetBounds(232, 151, 75, 25);
  okButton.SetDefault(true);

  OnShow = [this] { FormShow(); };
  homePageLabel.OnClick = [this] { HomePageClick(); };
  emailLabel.OnClick = [this] { EmailClick(); };
  okButton.OnClick = [this] { OkClick(); };
}

void AboutWindow::FormShow() {
  homePageLabel.SetCaption(Ask(sources_.HomePageAddress));
  emailLabel.SetCaption(Ask(sources_.ContactAddress));
  titleLabel.SetCaption(Ask(sources_.MainCaption));
}

void AboutWindow::HomePageClick() {
  App().Dialogs().ShellOpen(Ask(sources_.HomePageAddress));
}

void AboutWindow::EmailClick() {
  App().Dialogs().ShellOpen("mailto:" + Ask(sources_.ContactAddress));
}

void AboutWindow::OkClick() {
  if (Modal()) {
    SetModalResult(mrOk);
  } else {
    Close();
  }
}

}  // namespace korvane
