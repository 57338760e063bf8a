#include <gtest/gtest.h>

#include "dialogs/AboutWindow.h"
#include "dialogs/LayoutCheck.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

class AboutBox : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  TForm main{app, "mainWindow"};
  std::string homePage = "https://korvane.example.org/";
  std::string contact = "korvane@example.org";
  AboutWindow about{app,
                    {.MainCaption = [this] { return main.Caption(); },
                     .HomePageAddress = [this] { return homePage; },
                     .ContactAddress = [this] { return contact; }}};
};

TEST_F(AboutBox, IsADialogWithGreenClickableAddresses) {
  EXPECT_EQ(about.Caption(), "About");
  EXPECT_EQ(about.ClientWidth(), 315);
  EXPECT_EQ(about.ClientHeight(), 181);
  EXPECT_EQ(about.Position(), poScreenCenter);
  EXPECT_EQ(about.textPanel.Height(), 145);
  EXPECT_EQ(about.DefaultButton(), &about.okButton);
  EXPECT_EQ(about.okButton.Caption(), "&OK");
  EXPECT_EQ(about.developerLabel.Caption().rfind("Developer:", 0), 0u);
  for (TLabel* link : {&about.homePageLabel, &about.emailLabel}) {
    EXPECT_EQ(link->Font().Color, clGreen) << link->Name();
    EXPECT_TRUE(link->Font().Underline) << link->Name();
    EXPECT_EQ(link->Cursor(), crHandPoint) << link->Name();
  }
  EXPECT_TRUE(about.titleLabel.Font().Underline);
  EXPECT_EQ(LayoutFaults(about), "");
}

TEST_F(AboutBox, ShowsTheMainWindowsCaptionAndAddressesAsTheyAreWhenShown) {
  main.SetCaption("Korvane 3.0");
  EXPECT_EQ(about.ShowModal(), mrNone);
  EXPECT_EQ(about.titleLabel.Caption(), "Korvane 3.0");
  EXPECT_EQ(about.homePageLabel.Caption(), homePage);
  EXPECT_EQ(about.emailLabel.Caption(), contact);
  EXPECT_TRUE(about.UserPressEnter());
  EXPECT_FALSE(about.Visible());
  EXPECT_EQ(about.ModalResult(), mrOk);

  main.SetCaption("Korvane 3.0 - renamed");
  about.ShowModal();
  EXPECT_EQ(about.titleLabel.Caption(), "Korvane 3.0 - renamed");
  about.okButton.UserClick();
  EXPECT_FALSE(about.Visible());
}

TEST_F(AboutBox, ClicksHandTheAddressesToTheDesktop) {
  about.ShowModal();
  EXPECT_TRUE(about.homePageLabel.UserClick());
  EXPECT_TRUE(about.emailLabel.UserClick());
  EXPECT_EQ(dialogs.Opened(), (std::vector<std::string>{"https://korvane.example.org/",
                                                        "mailto:korvane@example.org"}));
  EXPECT_TRUE(about.Visible());
}

}  // namespace
}  // namespace korvane::test
