#pragma once

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace korvane {

// Where the About box takes its texts from when it is shown: the main window's current
// caption and its two address texts. Each is asked afresh at every showing (and each click),
// so the box can be made before the main window has set them.
struct AboutSources {
  std::function<std::string()> MainCaption;
  std::function<std::string()> HomePageAddress;
  std::function<std::string()> ContactAddress;
};

// The About box: the program's title, a developer line, the home page and the contact
// address; clicking an address hands it to the desktop's browser or mail program.
class AboutWindow : public TForm {
 public:
  // The sources must stay valid as long as the box.
  AboutWindow(TApplication& app, AboutSources sources);

  // titleLabel := the main window's caption, homePageLabel := the home page, emailLabel := the
  // contact.
  void FormShow();
  // Opens the home page.
  void HomePageClick();
  // Opens "mailto:" + the contact address.
  void EmailClick();
  // Closes the box.
  void OkClick();

  TPanel textPanel{this, "textPanel"};
  TLabel titleLabel{&textPanel, "titleLabel"};
  TLabel developerLabel{&textPanel, "developerLabel", "Developer: Korvane developers"};
  TLabel homePageCaptionLabel{&textPanel, "homePageCaptionLabel", "Homepage:"};
  TLabel homePageLabel{&textPanel, "homePageLabel"};
  TLabel emailCaptionLabel{&textPanel, "emailCaptionLabel", "Email:"};
  TLabel emailLabel{&textPanel, "emailLabel"};
  TButton okButton{this, "okButton", "&OK"};

 private:
  AboutSources sources_;
};

}  // namespace korvane
