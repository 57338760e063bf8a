#include <gtest/gtest.h>

#include "ui/Controls.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

struct MenuWindow : TForm {
  explicit MenuWindow(TApplication& app) : TForm(app, "menuWindow") {
    miscMenu.SetVisible(false);
    converterItem.SetVisible(false);
  }
  TMainMenu mainMenu{this, "mainMenu"};
  TMenuItem fileMenu{&mainMenu, "fileMenu", "&File"};
  TMenuItem exitItem{&fileMenu, "exitItem", "E&xit"};
  TMenuItem miscMenu{&mainMenu, "miscMenu", "&Misc"};
  TMenuItem converterItem{&miscMenu, "converterItem",
                          "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"..."};
  TMenuItem miscSeparator1{&miscMenu, "miscSeparator1", "-"};
  TMenuItem viewLogFileItem{&miscMenu, "viewLogFileItem", "View log file"};
};

TEST(Menu, ItemsKeepTheirOrderCaptionsAndSeparators) {
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  MenuWindow form(app);
  ASSERT_EQ(form.mainMenu.Count(), 2);
  EXPECT_EQ(&form.mainMenu[1], &form.miscMenu);
  EXPECT_EQ(form.miscMenu.Count(), 3);
  EXPECT_EQ(form.converterItem.Caption(), "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"...");
  EXPECT_TRUE(form.miscSeparator1.IsLine());
  EXPECT_EQ(form.exitItem.Parent(), &form.fileMenu);
  EXPECT_EQ(&form.Find<TMenuItem>("exitItem"), &form.exitItem);
}

TEST(Menu, TheUserCannotChooseHiddenItemsOrItemsOfAHiddenMenu) {
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  MenuWindow form(app);
  int converter = 0, viewLog = 0, exits = 0;
  form.converterItem.OnClick = [&] { ++converter; };
  form.viewLogFileItem.OnClick = [&] { ++viewLog; };
  form.exitItem.OnClick = [&] { ++exits; };
  form.Show();

  EXPECT_FALSE(form.converterItem.UserClick());
  EXPECT_FALSE(form.viewLogFileItem.UserClick());  // visible itself, but its menu is hidden
  EXPECT_FALSE(form.miscSeparator1.UserClick());
  EXPECT_TRUE(form.exitItem.UserClick());
  form.exitItem.SetEnabled(false);
  EXPECT_FALSE(form.exitItem.UserClick());
  form.viewLogFileItem.Click();  // the program may still run it (the memo's double click does)
  EXPECT_EQ(converter, 0);
  EXPECT_EQ(viewLog, 1);
  EXPECT_EQ(exits, 1);
}

}  // namespace
}  // namespace korvane::test
