#include <gtest/gtest.h>

#include "ui/Controls.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

struct MenuWindow : TForm {
  explicit MenuWindow(TApplication& app) : TForm(app, "Form1") {
    Misc1.SetVisible(false);
    Convert1.SetVisible(false);
  }
  TMainMenu MainMenu1{this, "MainMenu1"};
  TMenuItem File1{&MainMenu1, "File1", "&File"};
  TMenuItem Exit1{&File1, "Exit1", "E&xit"};
  TMenuItem Misc1{&MainMenu1, "Misc1", "&Misc"};
  TMenuItem Convert1{&Misc1, "Convert1", "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"..."};
  TMenuItem N1{&Misc1, "N1", "-"};
  TMenuItem Viewlogfile1{&Misc1, "Viewlogfile1", "View log file"};
};

TEST(Menu, ItemsKeepTheirOrderCaptionsAndSeparators) {
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  MenuWindow form(app);
  ASSERT_EQ(form.MainMenu1.Count(), 2);
  EXPECT_EQ(&form.MainMenu1[1], &form.Misc1);
  EXPECT_EQ(form.Misc1.Count(), 3);
  EXPECT_EQ(form.Convert1.Caption(), "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"...");
  EXPECT_TRUE(form.N1.IsLine());
  EXPECT_EQ(form.Exit1.Parent(), &form.File1);
  EXPECT_EQ(&form.Find<TMenuItem>("Exit1"), &form.Exit1);
}

TEST(Menu, TheUserCannotChooseHiddenItemsOrItemsOfAHiddenMenu) {
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  MenuWindow form(app);
  int converter = 0, viewLog = 0, exits = 0;
  form.Convert1.OnClick = [&] { ++converter; };
  form.Viewlogfile1.OnClick = [&] { ++viewLog; };
  form.Exit1.OnClick = [&] { ++exits; };
  form.Show();

  EXPECT_FALSE(form.Convert1.UserClick());
  EXPECT_FALSE(form.Viewlogfile1.UserClick());  // visible itself, but its menu is hidden
  EXPECT_FALSE(form.N1.UserClick());
  EXPECT_TRUE(form.Exit1.UserClick());
  form.Exit1.SetEnabled(false);
  EXPECT_FALSE(form.Exit1.UserClick());
  form.Viewlogfile1.Click();  // the program may still run it (the memo's double click does)
  EXPECT_EQ(converter, 0);
  EXPECT_EQ(viewLog, 1);
  EXPECT_EQ(exits, 1);
}

}  // namespace
}  // namespace korvane::test
