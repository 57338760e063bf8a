#include <gtest/gtest.h>

#include <stdexcept>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "ui/Controls.h"
#include "ui/RecordingPeer.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

struct Window : TForm {
  explicit Window(TApplication& app) : TForm(app, "Window") {}
  TPanel clientPanel{this, "clientPanel"};
  TEdit zoomEdit{&clientPanel, "zoomEdit", "3"};
  TUpDown zoomUpDown{&clientPanel, "zoomUpDown"};
  TMemo logMemo{this, "logMemo"};
  TButton browseFolderButton{&clientPanel, "browseFolderButton", "..."};
  TCheckBox useProxyCheckBox{this, "useProxyCheckBox", "Use proxy server"};
  TRadioButton firstChoice{&clientPanel, "firstChoice", "First"};
  TRadioButton secondChoice{&clientPanel, "secondChoice", "Second"};
  TRadioButton elsewhere{this, "elsewhere", "Another choice"};
};

class ControlsTest : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  Window form{app};
  std::vector<TChange> changes;
};

TEST_F(ControlsTest, MemoTellsItsPeerAboutOneAppendedLineNotTheWholeText) {
  form.logMemo.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.logMemo.Lines.Add("[log window]");
  form.logMemo.Lines.Add("T1 tile 1");
  EXPECT_EQ(changes, (std::vector{TChange::LineAppended, TChange::LineAppended}));

  changes.clear();
  form.logMemo.Lines.Assign({"a", "b"});
  form.logMemo.Lines.Clear();
  EXPECT_EQ(changes, (std::vector{TChange::LinesReplaced, TChange::LinesReplaced}));
  EXPECT_EQ(form.logMemo.Lines.Count(), 0);
}

TEST_F(ControlsTest, RadioButtonsOfOneParentAreOneChoice) {
  form.secondChoice.SetPeer(std::make_unique<RecordingPeer>(changes));
  int clicks = 0;
  form.firstChoice.OnClick = [&clicks] { ++clicks; };
  form.Show();
  form.elsewhere.SetChecked(true);
  form.secondChoice.SetChecked(true);
  EXPECT_EQ(changes, std::vector{TChange::Checked});
  EXPECT_TRUE(form.firstChoice.UserClick());
  EXPECT_TRUE(form.firstChoice.Checked());
  EXPECT_FALSE(form.secondChoice.Checked());
  EXPECT_TRUE(form.elsewhere.Checked()) << "another parent is another choice";
  EXPECT_EQ(changes, (std::vector{TChange::Checked, TChange::Checked}));
  EXPECT_TRUE(form.firstChoice.UserClick());  // clicked again: still the choice
  EXPECT_TRUE(form.firstChoice.Checked());
  EXPECT_EQ(clicks, 2);
  form.firstChoice.SetChecked(false);  // the program may leave no choice
  EXPECT_FALSE(form.firstChoice.Checked());
  EXPECT_FALSE(form.secondChoice.Checked());
  form.firstChoice.SetEnabled(false);
  EXPECT_FALSE(form.firstChoice.UserClick());
  EXPECT_EQ(clicks, 2);
}

TEST_F(ControlsTest, MemoLinesSurviveAFileRoundTripWithCrLf) {
  TempFolder folder;
  std::string path = folder.Path() + "log.txt";
  form.logMemo.Lines.Add("first");
  form.logMemo.Lines.Add("");
  form.logMemo.Lines.Add("Error: may be your IP is banned.\nPlease try again later.");
  EXPECT_EQ(form.logMemo.Lines.Count(), 3);  // a line feed inside a line keeps it one line

  form.logMemo.Lines.SaveToFile(path);
  EXPECT_EQ(ReadFileBytes(path),
            "first\r\n\r\nError: may be your IP is banned.\nPlease try again later.\r\n");

  form.logMemo.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.logMemo.Lines.LoadFromFile(path);
  EXPECT_EQ(changes, std::vector{TChange::LinesReplaced});
  EXPECT_EQ(
      form.logMemo.Lines.Strings(),
      (TStringList{"first", "", "Error: may be your IP is banned.", "Please try again later."}));
  EXPECT_THROW(form.logMemo.Lines.LoadFromFile(folder.Path() + "missing.txt"), FileOpenError);
}

TEST_F(ControlsTest, EditNotifiesAndRunsOnChangeOnlyWhenTheTextChanges) {
  int changed = 0;
  form.zoomEdit.OnChange = [&] { ++changed; };
  form.zoomEdit.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.zoomEdit.SetText("3");
  form.zoomEdit.SetText("4");
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(changes, std::vector{TChange::Text});
}

TEST_F(ControlsTest, APasswordBoxTellsItsPeerAndKeepsItsText) {
  form.zoomEdit.SetPeer(std::make_unique<RecordingPeer>(changes));
  EXPECT_FALSE(form.zoomEdit.PasswordEcho());
  form.zoomEdit.SetPasswordEcho(true);
  form.zoomEdit.SetPasswordEcho(true);
  EXPECT_EQ(changes, std::vector{TChange::Style});
  form.Show();
  EXPECT_TRUE(form.zoomEdit.UserType("secret"));
  EXPECT_EQ(form.zoomEdit.Text(), "secret");
}

TEST_F(ControlsTest, DockedControlsShareTheirParentsClientArea) {
  form.SetClientSize(520, 480);
  form.SetBorderWidth(4);
  TPanel top(&form, "Top");
  top.SetHeight(208);
  top.SetAlign(alTop);
  TStatusBar status(&form, "Status");
  TPanel rest(&form, "Rest");
  rest.SetBevelInner(bvLowered);
  rest.SetBorderWidth(3);
  rest.SetAlign(alClient);
  TMemo log(&rest, "Log");
  log.SetAlign(alClient);

  EXPECT_EQ(top.BoundsRect(), (TRect{4, 4, 516, 212}));
  EXPECT_EQ(status.BoundsRect(), (TRect{4, 476 - 19, 516, 476}));
  EXPECT_EQ(rest.BoundsRect(), (TRect{4, 212, 516, 476 - 19}));
  // Raised outer bevel, lowered inner bevel and a border of 3: 5 pixels on every side.
  EXPECT_EQ(log.BoundsRect(), (TRect{5, 5, 512 - 5, 245 - 5}));

  top.SetVisible(false);  // a hidden docked control takes no room
  EXPECT_EQ(rest.BoundsRect(), (TRect{4, 4, 516, 476 - 19}));
  top.SetVisible(true);
  top.SetHeight(100);  // the docked control keeps its new height, the others follow
  EXPECT_EQ(rest.Top(), 104);
  form.SetClientSize(600, 500);  // a resized form lays its children out again
  EXPECT_EQ(log.Width(), 600 - 8 - 10);
}

TEST_F(ControlsTest, FontComesFromTheParentUntilSetAndChangesReachThePeers) {
  form.SetFont({.Name = "Tahoma", .Height = 11});
  TFont green{.Name = "Tahoma", .Height = 13, .Color = clGreen};
  form.logMemo.SetFont(green);
  form.browseFolderButton.SetPeer(std::make_unique<RecordingPeer>(changes));

  form.clientPanel.SetFont({.Height = 12, .Bold = true});
  EXPECT_TRUE(form.browseFolderButton.Font().Bold);  // inherited from its panel
  EXPECT_EQ(changes, std::vector{TChange::Font});
  EXPECT_EQ(form.logMemo.Font(), green);  // its own font stays
  EXPECT_EQ(form.useProxyCheckBox.Font().Height, 11);
}

TEST_F(ControlsTest, UpDownStepsWithinItsRangeWithoutWrapping) {
  form.zoomUpDown.SetMin(1);
  form.zoomUpDown.SetMax(5);
  form.zoomUpDown.SetPosition(3);
  form.zoomUpDown.SetAssociate(&form.zoomEdit);
  EXPECT_EQ(form.zoomEdit.Text(), "3");

  form.zoomUpDown.StepUp();
  form.zoomUpDown.StepUp();
  form.zoomUpDown.StepUp();
  EXPECT_EQ(form.zoomEdit.Text(), "5");  // stops at the maximum, no wrap to 1
  for (int i = 0; i < 6; ++i)
    form.zoomUpDown.StepDown();
  EXPECT_EQ(form.zoomEdit.Text(), "1");

  // A number the user typed (or a task file put there) is where stepping starts, clamped.
  form.zoomEdit.SetText("18");
  form.zoomUpDown.StepDown();
  EXPECT_EQ(form.zoomEdit.Text(), "4");
  form.zoomEdit.SetText("x");
  form.zoomUpDown.StepUp();
  EXPECT_EQ(form.zoomEdit.Text(), "5");

  form.zoomUpDown.SetWrap(true);
  form.zoomUpDown.StepUp();
  EXPECT_EQ(form.zoomUpDown.Position(), 1);
}

TEST_F(ControlsTest, ArrowKeysInTheBoxStepItsSpinControlWhileTheUserCanReachIt) {
  form.zoomUpDown.SetMin(1);
  form.zoomUpDown.SetMax(5);
  form.zoomUpDown.SetPosition(3);
  EXPECT_FALSE(form.zoomEdit.UserArrowKey(true)) << "not bound yet";
  form.zoomUpDown.SetAssociate(&form.zoomEdit);
  EXPECT_FALSE(form.zoomEdit.UserArrowKey(true)) << "the form is not shown";
  form.Show();
  EXPECT_TRUE(form.zoomEdit.UserArrowKey(true));
  EXPECT_TRUE(form.zoomEdit.UserArrowKey(true));
  EXPECT_TRUE(form.zoomEdit.UserArrowKey(true));
  EXPECT_EQ(form.zoomEdit.Text(), "5");
  EXPECT_TRUE(form.zoomEdit.UserArrowKey(false));
  EXPECT_EQ(form.zoomEdit.Text(), "4");

  // Unbinding (or a spin control going first) leaves the box without one.
  {
    TUpDown spin{&form.clientPanel, "secondSpin"};
    spin.SetAssociate(&form.zoomEdit);
    EXPECT_EQ(form.zoomEdit.Spin(), &spin);
  }
  EXPECT_EQ(form.zoomEdit.Spin(), nullptr);
  const std::string shown = form.zoomEdit.Text();
  EXPECT_FALSE(form.zoomEdit.UserArrowKey(false));
  EXPECT_EQ(form.zoomEdit.Text(), shown);
}

TEST_F(ControlsTest, UserActionsNeedAVisibleEnabledControl) {
  int clicks = 0;
  form.browseFolderButton.OnClick = [&] { ++clicks; };
  EXPECT_FALSE(form.browseFolderButton.UserClick());  // the form is not shown
  form.Show();
  EXPECT_TRUE(form.browseFolderButton.UserClick());
  form.clientPanel.SetEnabled(false);  // a disabled container disables what it holds
  EXPECT_FALSE(form.browseFolderButton.UserClick());
  EXPECT_FALSE(form.zoomEdit.UserType("2"));
  form.clientPanel.SetEnabled(true);
  form.browseFolderButton.SetVisible(false);
  EXPECT_FALSE(form.browseFolderButton.UserClick());
  EXPECT_EQ(clicks, 1);

  form.zoomEdit.SetReadOnly(true);
  EXPECT_FALSE(form.zoomEdit.UserType("2"));
  form.zoomEdit.SetReadOnly(false);
  EXPECT_TRUE(form.zoomEdit.UserType("2"));
  EXPECT_EQ(form.zoomEdit.Text(), "2");
}

TEST_F(ControlsTest, AnExceptionFromAUserClickShowsTheErrorBoxAProgramClickPassesItOn) {
  form.Show();
  form.browseFolderButton.OnClick = [] { throw Exception("Cannot create file /x/y.krvn"); };
  EXPECT_TRUE(form.browseFolderButton.UserClick());
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Cannot create file /x/y.krvn"});

  form.browseFolderButton.OnClick = [] { throw std::runtime_error("plain"); };
  form.browseFolderButton.UserClick();
  EXPECT_EQ(dialogs.Errors().back(), "plain");

  EXPECT_THROW(form.browseFolderButton.Click(), std::runtime_error);
}

TEST_F(ControlsTest, CheckBoxRunsOnClickOnlyForTheUsersClick) {
  int clicks = 0;
  form.useProxyCheckBox.OnClick = [&] { ++clicks; };
  form.useProxyCheckBox.SetChecked(true);
  EXPECT_EQ(clicks, 0);
  form.Show();
  form.useProxyCheckBox.UserClick();
  EXPECT_FALSE(form.useProxyCheckBox.Checked());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace korvane::test
