#pragma once

#include <functional>
#include <string>

#include "ui/Controls.h"

namespace korvane {

// Where the About box takes its texts from when it is shown: the main window's current
// caption and its two address texts. Each is asked afresh at every showing (and each click),
// so the box can be made before the main window has set them.
struct TAboutSources {
  std::function<std::string()> MainCaption;
  std::function<std::string()> HomePageAddress;
  std::function<std::string()> ContactAddress;
};

// The About box: the program's title, a developer line, the home page and the contact
// address; clicking an address hands it to the desktop's browser or mail program.
class TfrmAbout : public TForm {
 public:
  // The sources must stay valid as long as the box.
  TfrmAbout(TApplication& app, TAboutSources sources);

  // Label3 := the main window's caption, Label4 := the home page, Label7 := the contact.
  void FormShow();
  // Opens the home page.
  void Label4Click();
  // Opens "mailto:" + the contact address.
  void Label7Click();
  // Closes the box.
  void bLaterClick();

  TPanel Panel1{this, "Panel1"};
  TLabel Label3{&Panel1, "Label3"};
  TLabel Label8{&Panel1, "Label8", "Developer: Korvane developers"};
  TLabel Label5{&Panel1, "Label5", "Homepage:"};
  TLabel Label4{&Panel1, "Label4"};
  TLabel Label6{&Panel1, "Label6", "Email:"};
  TLabel Label7{&Panel1, "Label7"};
  TButton bLater{this, "bLater", "&OK"};

 private:
  TAboutSources sources_;
};

}  // namespace korvane
