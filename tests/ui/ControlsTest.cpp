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
  TPanel Panel1{this, "Panel1"};
  TEdit EditZoom{&Panel1, "EditZoom", "3"};
  TUpDown UpDown1{&Panel1, "UpDown1"};
  TMemo Memo1{this, "Memo1"};
  TButton Button1{&Panel1, "Button1", "..."};
  TCheckBox CheckBox1{this, "CheckBox1", "Use proxy server"};
};

class ControlsTest : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  Window form{app};
  std::vector<TChange> changes;
};

TEST_F(ControlsTest, MemoTellsItsPeerAboutOneAppendedLineNotTheWholeText) {
  form.Memo1.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.Memo1.Lines.Add("[log window]");
  form.Memo1.Lines.Add("T1 tile 1");
  EXPECT_EQ(changes, (std::vector{TChange::LineAppended, TChange::LineAppended}));

  changes.clear();
  form.Memo1.Lines.Assign({"a", "b"});
  form.Memo1.Lines.Clear();
  EXPECT_EQ(changes, (std::vector{TChange::LinesReplaced, TChange::LinesReplaced}));
  EXPECT_EQ(form.Memo1.Lines.Count(), 0);
}

TEST_F(ControlsTest, MemoLinesSurviveAFileRoundTripWithCrLf) {
  TempFolder folder;
  std::string path = folder.Path() + "log.txt";
  form.Memo1.Lines.Add("first");
  form.Memo1.Lines.Add("");
  form.Memo1.Lines.Add("Error: may be your IP is banned.\nPlease try again later.");
  EXPECT_EQ(form.Memo1.Lines.Count(), 3);  // a line feed inside a line keeps it one line

  form.Memo1.Lines.SaveToFile(path);
  EXPECT_EQ(ReadFileBytes(path),
            "first\r\n\r\nError: may be your IP is banned.\nPlease try again later.\r\n");

  form.Memo1.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.Memo1.Lines.LoadFromFile(path);
  EXPECT_EQ(changes, std::vector{TChange::LinesReplaced});
  EXPECT_EQ(
      form.Memo1.Lines.Strings(),
      (TStringList{"first", "", "Error: may be your IP is banned.", "Please try again later."}));
  EXPECT_THROW(form.Memo1.Lines.LoadFromFile(folder.Path() + "missing.txt"), EFOpenError);
}

TEST_F(ControlsTest, EditNotifiesAndRunsOnChangeOnlyWhenTheTextChanges) {
  int changed = 0;
  form.EditZoom.OnChange = [&] { ++changed; };
  form.EditZoom.SetPeer(std::make_unique<RecordingPeer>(changes));
  form.EditZoom.SetText("3");
  form.EditZoom.SetText("4");
  EXPECT_EQ(changed, 1);
  EXPECT_EQ(changes, std::vector{TChange::Text});
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
  form.Memo1.SetFont(green);
  form.Button1.SetPeer(std::make_unique<RecordingPeer>(changes));

  form.Panel1.SetFont({.Height = 12, .Bold = true});
  EXPECT_TRUE(form.Button1.Font().Bold);  // inherited from its panel
  EXPECT_EQ(changes, std::vector{TChange::Font});
  EXPECT_EQ(form.Memo1.Font(), green);  // its own font stays
  EXPECT_EQ(form.CheckBox1.Font().Height, 11);
}

TEST_F(ControlsTest, UpDownStepsWithinItsRangeWithoutWrapping) {
  form.UpDown1.SetMin(1);
  form.UpDown1.SetMax(5);
  form.UpDown1.SetPosition(3);
  form.UpDown1.SetAssociate(&form.EditZoom);
  EXPECT_EQ(form.EditZoom.Text(), "3");

  form.UpDown1.StepUp();
  form.UpDown1.StepUp();
  form.UpDown1.StepUp();
  EXPECT_EQ(form.EditZoom.Text(), "5");  // stops at the maximum, no wrap to 1
  for (int i = 0; i < 6; ++i)
    form.UpDown1.StepDown();
  EXPECT_EQ(form.EditZoom.Text(), "1");

  // A number the user typed (or a task file put there) is where stepping starts, clamped.
  form.EditZoom.SetText("18");
  form.UpDown1.StepDown();
  EXPECT_EQ(form.EditZoom.Text(), "4");
  form.EditZoom.SetText("x");
  form.UpDown1.StepUp();
  EXPECT_EQ(form.EditZoom.Text(), "5");

  form.UpDown1.SetWrap(true);
  form.UpDown1.StepUp();
  EXPECT_EQ(form.UpDown1.Position(), 1);
}

TEST_F(ControlsTest, ArrowKeysInTheBoxStepItsSpinControlWhileTheUserCanReachIt) {
  form.UpDown1.SetMin(1);
  form.UpDown1.SetMax(5);
  form.UpDown1.SetPosition(3);
  EXPECT_FALSE(form.EditZoom.UserArrowKey(true)) << "not bound yet";
  form.UpDown1.SetAssociate(&form.EditZoom);
  EXPECT_FALSE(form.EditZoom.UserArrowKey(true)) << "the form is not shown";
  form.Show();
  EXPECT_TRUE(form.EditZoom.UserArrowKey(true));
  EXPECT_TRUE(form.EditZoom.UserArrowKey(true));
  EXPECT_TRUE(form.EditZoom.UserArrowKey(true));
  EXPECT_EQ(form.EditZoom.Text(), "5");
  EXPECT_TRUE(form.EditZoom.UserArrowKey(false));
  EXPECT_EQ(form.EditZoom.Text(), "4");

  // Unbinding (or a spin control going first) leaves the box without one.
  {
    TUpDown spin{&form.Panel1, "UpDown2"};
    spin.SetAssociate(&form.EditZoom);
    EXPECT_EQ(form.EditZoom.Spin(), &spin);
  }
  EXPECT_EQ(form.EditZoom.Spin(), nullptr);
  const std::string shown = form.EditZoom.Text();
  EXPECT_FALSE(form.EditZoom.UserArrowKey(false));
  EXPECT_EQ(form.EditZoom.Text(), shown);
}

TEST_F(ControlsTest, UserActionsNeedAVisibleEnabledControl) {
  int clicks = 0;
  form.Button1.OnClick = [&] { ++clicks; };
  EXPECT_FALSE(form.Button1.UserClick());  // the form is not shown
  form.Show();
  EXPECT_TRUE(form.Button1.UserClick());
  form.Panel1.SetEnabled(false);  // a disabled container disables what it holds
  EXPECT_FALSE(form.Button1.UserClick());
  EXPECT_FALSE(form.EditZoom.UserType("2"));
  form.Panel1.SetEnabled(true);
  form.Button1.SetVisible(false);
  EXPECT_FALSE(form.Button1.UserClick());
  EXPECT_EQ(clicks, 1);

  form.EditZoom.SetReadOnly(true);
  EXPECT_FALSE(form.EditZoom.UserType("2"));
  form.EditZoom.SetReadOnly(false);
  EXPECT_TRUE(form.EditZoom.UserType("2"));
  EXPECT_EQ(form.EditZoom.Text(), "2");
}

TEST_F(ControlsTest, AnExceptionFromAUserClickShowsTheErrorBoxAProgramClickPassesItOn) {
  form.Show();
  form.Button1.OnClick = [] { throw Exception("Cannot create file /x/y.krvn"); };
  EXPECT_TRUE(form.Button1.UserClick());
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Cannot create file /x/y.krvn"});

  form.Button1.OnClick = [] { throw std::runtime_error("plain"); };
  form.Button1.UserClick();
  EXPECT_EQ(dialogs.Errors().back(), "plain");

  EXPECT_THROW(form.Button1.Click(), std::runtime_error);
}

TEST_F(ControlsTest, CheckBoxRunsOnClickOnlyForTheUsersClick) {
  int clicks = 0;
  form.CheckBox1.OnClick = [&] { ++clicks; };
  form.CheckBox1.SetChecked(true);
  EXPECT_EQ(clicks, 0);
  form.Show();
  form.CheckBox1.UserClick();
  EXPECT_FALSE(form.CheckBox1.Checked());
  EXPECT_EQ(clicks, 1);
}

}  // namespace
}  // namespace korvane::test
