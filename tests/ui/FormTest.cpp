#include <gtest/gtest.h>

#include "ui/Controls.h"
#include "ui/RecordingPeer.h"
#include "ui/THeadlessBackend.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

struct SampleWindow : TForm {
  explicit SampleWindow(TApplication& app) : TForm(app, "sampleWindow") {}
};

struct OptionsWindow : TForm {
  explicit OptionsWindow(TApplication& app) : TForm(app, "optionsWindow") {
    okButton.SetDefault(true);
    okButton.SetModalResult(mrOk);
    cancelButton.OnClick = [this] { Close(); };
  }
  TPanel pathPanel{this, "pathPanel"};
  TEdit defaultPathEdit{&pathPanel, "defaultPathEdit"};
  TButton okButton{this, "okButton", "OK"};
  TButton cancelButton{this, "cancelButton", "Cancel"};
};

class FormTest : public ::testing::Test {
 protected:
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  SampleWindow main{app};
  OptionsWindow options{app};
};

TEST_F(FormTest, ComponentsAreFoundByNameAndKind) {
  EXPECT_EQ(&options.Find<TEdit>("defaultPathEdit"), &options.defaultPathEdit);
  EXPECT_EQ(options.FindComponent("Nothing"), nullptr);
  EXPECT_THROW(options.Find<TButton>("defaultPathEdit"), Exception);
  EXPECT_THROW(TEdit(&options, "defaultPathEdit"), Exception);  // names are unique within a form
  {
    TLabel extra(&options.pathPanel, "extraLabel");
    EXPECT_EQ(options.FindComponent("extraLabel"), &extra);
    EXPECT_EQ(options.pathPanel.Controls().size(), 2u);
  }
  EXPECT_EQ(options.FindComponent("extraLabel"), nullptr);
  EXPECT_EQ(options.pathPanel.Controls().size(), 1u);
}

TEST_F(FormTest, ShowRunsOnShowEachTimeTheFormAppears) {
  int shown = 0;
  options.OnShow = [&] {
    ++shown;
    options.defaultPathEdit.SetText("from config");
  };
  options.Show();
  options.Show();  // already visible
  options.Hide();
  options.Show();
  EXPECT_EQ(shown, 2);
  EXPECT_EQ(options.defaultPathEdit.Text(), "from config");
}

TEST_F(FormTest, HeadlessShowModalReturnsAtOnceAndTheButtonsCloseTheForm) {
  EXPECT_EQ(options.ShowModal(), mrNone);
  EXPECT_TRUE(options.Visible());
  EXPECT_TRUE(options.Modal());
  EXPECT_THROW(options.ShowModal(), Exception);  // already up

  EXPECT_TRUE(options.UserPressEnter());  // the default button, with its modal result
  EXPECT_FALSE(options.Visible());
  EXPECT_FALSE(options.Modal());
  EXPECT_EQ(options.ModalResult(), mrOk);

  options.ShowModal();
  EXPECT_EQ(options.ModalResult(), mrNone);
  options.cancelButton.UserClick();  // closes without a result of its own
  EXPECT_EQ(options.ModalResult(), mrCancel);
  EXPECT_FALSE(app.Terminated());  // not the main form
}

TEST_F(FormTest, EscapeDoesNothingWithoutACancelButton) {
  options.ShowModal();
  EXPECT_FALSE(options.UserPressEscape());
  EXPECT_TRUE(options.Visible());
  options.cancelButton.SetCancel(true);
  EXPECT_TRUE(options.UserPressEscape());
  EXPECT_FALSE(options.Visible());
}

TEST_F(FormTest, CloseCanBeRefusedAndClosingTheMainFormEndsTheApplication) {
  EXPECT_EQ(app.MainForm(), &main);
  main.Show();
  bool allow = false;
  main.OnCloseQuery = [&](bool& canClose) { canClose = allow; };
  EXPECT_FALSE(main.UserClose());
  EXPECT_TRUE(main.Visible());
  EXPECT_FALSE(app.Terminated());

  allow = true;
  main.OnClose = [](TCloseAction& action) { action = caNone; };
  EXPECT_FALSE(main.UserClose());
  EXPECT_FALSE(app.Terminated());

  main.OnClose = nullptr;
  EXPECT_TRUE(main.UserClose());
  EXPECT_FALSE(main.Visible());
  EXPECT_TRUE(app.Terminated());
  app.Run();  // returns at once
}

TEST_F(FormTest, ACloseOrClickArrivingWhileItsPredecessorIsStillHandledIsIgnored) {
  main.Show();
  options.Show();
  int asked = 0, clicks = 0;
  // Both handlers process messages, as a close that waits for workers or a start that looks
  // up a panorama does; the user's second request arrives meanwhile.
  main.OnCloseQuery = [&](bool& canClose) {
    ++asked;
    app.QueueCall([&] { main.UserClose(); });
    app.ProcessMessages();
    canClose = false;
  };
  options.okButton.SetModalResult(mrNone);
  options.okButton.OnClick = [&] {
    ++clicks;
    app.QueueCall([&] { options.okButton.UserClick(); });
    app.ProcessMessages();
  };
  main.UserClose();
  options.okButton.UserClick();
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(clicks, 1);
  options.okButton.UserClick();  // the first click is over: the next one is taken
  EXPECT_EQ(clicks, 2);

  // A button that stops its own work takes the second click, inside the first, and is busy
  // again only until the outer click ends.
  options.okButton.SetTakesClicksWhileBusy(true);
  bool inner = false;
  options.okButton.OnClick = [&] {
    ++clicks;
    if (inner) return;
    inner = true;
    app.QueueCall([&] { options.okButton.UserClick(); });
    app.ProcessMessages();
  };
  EXPECT_TRUE(options.okButton.UserClick());
  EXPECT_EQ(clicks, 4);
}

TEST_F(FormTest, AnExceptionWhileClosingShowsTheErrorBoxAndKeepsTheForm) {
  main.Show();
  main.OnCloseQuery = [](bool&) { throw Exception("Unable to write to /ro/config.ini"); };
  EXPECT_FALSE(main.UserClose());
  EXPECT_TRUE(main.Visible());
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Unable to write to /ro/config.ini"});
}

// A backend with widgets, as far as the model can tell: it hands out recording peers.
class PeerBackend final : public TAppBackend, public TPeerFactory {
 public:
  std::vector<std::string> made;
  std::vector<TChange> changes;

  void Attach(TApplication* app) override { loop_.Attach(app); }
  void Run() override { loop_.Run(); }
  void ProcessMessages() override { loop_.ProcessMessages(); }
  void HandleMessage() override { loop_.HandleMessage(); }
  void Wake() override { loop_.Wake(); }
  void TimerChanged(TTimer& timer) override { loop_.TimerChanged(timer); }
  void TimerRemoved(TTimer& timer) override { loop_.TimerRemoved(timer); }
  TPeerFactory* PeerFactory() override { return this; }
  void RunModal(TForm&) override {}

  std::unique_ptr<TPeer> CreatePeer(TForm& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TPanel& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TGroupBox& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TLabel& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TEdit& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TMemo& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TButton& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TCheckBox& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TUpDown& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TStatusBar& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TMainMenu& c) override { return Make(c); }
  std::unique_ptr<TPeer> CreatePeer(TMenuItem& c) override { return Make(c); }

 private:
  std::unique_ptr<TPeer> Make(TComponent& component) {
    made.push_back(component.Name());
    return std::make_unique<RecordingPeer>(changes);
  }
  THeadlessBackend loop_;
};

TEST(FormPeers, ShowingAFormGivesEveryComponentAPeerParentsFirst) {
  TScriptedDialogs dialogs;
  PeerBackend backend;
  TApplication app(dialogs, &backend);
  {
    OptionsWindow options(app);
    TMainMenu menu(&options, "mainMenu");
    TMenuItem file(&menu, "fileMenu", "&File");
    TTimer timer(&options, "progressTimer");  // no peer: the loop runs it
    EXPECT_EQ(options.Menu(), &menu);
    EXPECT_TRUE(backend.made.empty());  // nothing before the form is shown

    options.Show();
    EXPECT_EQ(backend.made,
              (std::vector<std::string>{"optionsWindow", "pathPanel", "defaultPathEdit", "okButton",
                                        "cancelButton", "mainMenu", "fileMenu"}));
    backend.changes.clear();
    options.defaultPathEdit.SetText("x");
    options.SetCaption("Options");
    EXPECT_EQ(backend.changes, (std::vector{TChange::Text, TChange::Caption}));

    TLabel late(&options, "Late");
    options.Hide();
    options.Show();  // components made after the first showing get their peers now
    EXPECT_EQ(backend.made.back(), "Late");
  }
  EXPECT_TRUE(app.Forms().empty());
}

}  // namespace
}  // namespace korvane::test
