#include <gtest/gtest.h>

#include <sstream>

#include "ui/Controls.h"
#include "ui/DialogFilter.h"
#include "ui/TConsoleDialogs.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

TEST(DialogFilter, SplitsDescriptionsAndPatterns) {
  EXPECT_EQ(ParseDialogFilter("Projects(*.krvn)|*.krvn"),
            (std::vector<TFilterEntry>{{"Projects(*.krvn)", {"*.krvn"}}}));
  EXPECT_EQ(ParseDialogFilter("Images|*.jpg;*.jpeg|All"),
            (std::vector<TFilterEntry>{{"Images", {"*.jpg", "*.jpeg"}}, {"All", {"*"}}}));
  EXPECT_TRUE(ParseDialogFilter("").empty());
}

struct Window : TForm {
  explicit Window(TApplication& app) : TForm(app, "sampleWindow") {}
  TOpenDialog openTaskDialog{this, "openTaskDialog"};
};

TEST(OpenDialog, ExecuteAsksTheServiceAndKeepsTheNameOnCancel) {
  TScriptedDialogs dialogs;
  TApplication app(dialogs);
  Window form(app);
  form.openTaskDialog.Title = "Open project file:";
  form.openTaskDialog.Filter = "Projects(*.krvn)|*.krvn";
  form.openTaskDialog.InitialDir = "/home/u/download";
  dialogs.QueuePick("/home/u/download/berlin.krvn");
  dialogs.QueueCancel();

  ASSERT_TRUE(form.openTaskDialog.Execute());
  EXPECT_EQ(form.openTaskDialog.FileName, "/home/u/download/berlin.krvn");
  EXPECT_FALSE(form.openTaskDialog.Execute());
  EXPECT_EQ(form.openTaskDialog.FileName, "/home/u/download/berlin.krvn");
  EXPECT_FALSE(form.openTaskDialog.Execute());  // nothing queued: cancel

  std::vector<TDialogEvent> events = dialogs.Events();
  ASSERT_EQ(events.size(), 3u);
  EXPECT_EQ(events[0].Request.Filter, "Projects(*.krvn)|*.krvn");
  EXPECT_EQ(events[0].Request.FilterIndex, 1);
  EXPECT_EQ(events[0].StartFolder, "/home/u/download");
  EXPECT_EQ(events[1].Request.FileName, "/home/u/download/berlin.krvn");
  EXPECT_EQ(events[1].Answer, std::nullopt);
}

TEST(ScriptedDialogs, RecordsEverythingInOrderAndLetsATestActWhileABoxIsUp) {
  TScriptedDialogs dialogs;
  std::vector<std::string> seenWhileOpen;
  dialogs.OnEvent = [&](const TDialogEvent& event) { seenWhileOpen.push_back(event.Text); };
  dialogs.QueuePick("/tmp/out");
  EXPECT_EQ(dialogs.PickFolder("Select path to save", ""), "/tmp/out");
  dialogs.ShowMessage("Task stoped!                    ");
  dialogs.ShowError("Cannot open file /x.ftl");
  dialogs.ShellOpen("mailto:someone@example.org");
  dialogs.StartProgram("/opt/k/pictoscope");
  EXPECT_EQ(dialogs.Transcript(),
            (std::vector<std::string>{
                "pick folder: Select path to save", "message: Task stoped!                    ",
                "error: Cannot open file /x.ftl", "open: mailto:someone@example.org",
                "start: /opt/k/pictoscope"}));
  EXPECT_EQ(seenWhileOpen.size(), 5u);
  EXPECT_EQ(dialogs.PendingAnswers(), 0);
}

TEST(ConsoleDialogs, BoxesGoToTheStreamOneLineEachAndPickersAnswerOnlyWhatWasPreset) {
  std::ostringstream err;
  TConsoleDialogs dialogs(err);
  dialogs.ShowMessage("No task running now.                  ");
  dialogs.ShowError("Cannot create file /x");
  EXPECT_EQ(err.str(), "No task running now.                  \nCannot create file /x\n");
  EXPECT_EQ(dialogs.BoxesShown(), 2);
  EXPECT_EQ(dialogs.ErrorsShown(), 1);

  EXPECT_EQ(dialogs.OpenFile({}), std::nullopt);
  dialogs.PresetFile("/t/list.ftl");
  EXPECT_EQ(dialogs.OpenFile({}), "/t/list.ftl");
  EXPECT_EQ(dialogs.OpenFile({}), std::nullopt);  // once only
  dialogs.PresetFolder("/t");
  EXPECT_EQ(dialogs.PickFolder("Select path", ""), "/t");

  EXPECT_FALSE(dialogs.ShellOpen("http://example.org/"));
  EXPECT_EQ(dialogs.Ignored(), std::vector<std::string>{"http://example.org/"});
  EXPECT_EQ(err.str().size(), 61u);  // nothing more on the stream
}

}  // namespace
}  // namespace korvane::test
