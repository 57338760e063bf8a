#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "qt/SampleForm.h"
#include "ui/TScriptedDialogs.h"
#include "ui/qt/QtPeerFactory.h"
#include "ui/qt/TQtBackend.h"

namespace korvane::test {
namespace {

class QtPeers : public ::testing::Test {
 protected:
  void SetUp() override { form.Show(); }

  template <class W>
  W* Find(const char* name) {
    W* widget = window()->findChild<W*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  QWidget* window() { return WidgetOf(form); }

  TScriptedDialogs dialogs;
  TQtBackend backend;
  TApplication app{dialogs, &backend};
  SampleForm form{app};
};

TEST_F(QtPeers, EveryControlIsAWidgetNamedAfterItWithTheModelsTexts) {
  ASSERT_NE(window(), nullptr);
  EXPECT_TRUE(window()->isVisible());
  EXPECT_EQ(window()->objectName(), "sampleWindow");
  EXPECT_EQ(window()->windowTitle(), "Korvane 3.0");
  EXPECT_EQ(Find<QWidget>("Client")->size(), QSize(520, 480));

  EXPECT_EQ(Find<QLineEdit>("taskNameEdit")->text(), "newtask.krvn");
  EXPECT_EQ(Find<QLineEdit>("zoomEdit")->text(), "3");
  EXPECT_EQ(Find<QLabel>("taskNameLabel")->text(), "Task name:");
  EXPECT_EQ(Find<QPushButton>("browseFolderButton")->toolTip(), "Click to select path");
  QPushButton* start = Find<QPushButton>("startStopButton");
  EXPECT_EQ(start->text(), "Start");
  EXPECT_TRUE(start->font().bold());
  EXPECT_EQ(start->font().pixelSize(), 13);
  EXPECT_EQ(start->geometry(), QRect(352, 146, 129, 41));
  EXPECT_EQ(Find<QCheckBox>("useProxyCheckBox")->text(), "Use proxy server");
  EXPECT_EQ(Find<QStatusBar>("statusBar")->findChild<QLabel*>("SimpleText")->text(),
            "Download StreetView images from Google Maps to your PC.");

  QLabel* link = Find<QLabel>("homePageLink");
  EXPECT_TRUE(link->font().underline());
  EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0x80, 0));
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);

  QPlainTextEdit* memo = Find<QPlainTextEdit>("logMemo");
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(memo->toPlainText(), "[log window]");
  EXPECT_EQ(memo->toolTip(), "Double click to view log in notepad");
  EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(0, 0x80, 0));
  EXPECT_EQ(memo->palette().color(QPalette::Base),
            QApplication::palette().color(QPalette::ToolTipBase));
  EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);  // it has a horizontal scroll bar
  // Docked into the lowered panel below the top panel: 208 high + border 4, bevels 2 + 3.
  EXPECT_EQ(memo->parentWidget()->objectName(), "logPanel");
  EXPECT_EQ(memo->geometry().topLeft(), QPoint(5, 5));

  QString family = QFontDatabase::hasFamily("Tahoma")
                       ? QString("Tahoma")
                       : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
  EXPECT_EQ(start->font().family(), family);
}

TEST_F(QtPeers, TheMenuBarHasAccessKeysHiddenMenusAndSeparators) {
  QMenuBar* bar = Find<QMenuBar>("mainMenu");
  ASSERT_EQ(bar->actions().size(), 2);
  EXPECT_EQ(bar->actions()[0]->text(), "&File");
  EXPECT_FALSE(bar->actions()[1]->isVisible());  // "&Misc" is hidden
  QMenu* misc = Find<QMenu>("miscMenu");
  ASSERT_EQ(misc->actions().size(), 2);
  EXPECT_TRUE(misc->actions()[1]->isSeparator());
  EXPECT_EQ(Find<QWidget>("Client")->y(), bar->height());

  int exits = 0;
  form.exitItem.OnClick = [&] { ++exits; };
  Find<QAction>("exitItem")->trigger();
  EXPECT_EQ(exits, 1);
  form.miscMenu.SetVisible(true);
  EXPECT_TRUE(bar->actions()[1]->isVisible());
}

TEST_F(QtPeers, ModelChangesReachTheWidgets) {
  form.startStopButton.SetCaption("Stop");
  form.taskNameEdit.SetText("berlin");
  form.useProxyCheckBox.SetChecked(true);
  form.statusBar.SetSimpleText("x");
  form.browseFolderButton.SetEnabled(false);
  form.SetCaption("Korvane");
  EXPECT_EQ(Find<QPushButton>("startStopButton")->text(), "Stop");
  EXPECT_EQ(Find<QLineEdit>("taskNameEdit")->text(), "berlin");
  EXPECT_TRUE(Find<QCheckBox>("useProxyCheckBox")->isChecked());
  EXPECT_EQ(Find<QStatusBar>("statusBar")->findChild<QLabel*>()->text(), "x");
  EXPECT_FALSE(Find<QPushButton>("browseFolderButton")->isEnabled());
  EXPECT_EQ(window()->windowTitle(), "Korvane");
}

TEST_F(QtPeers, TypingUpdatesTheModelAndEnterPressesTheDefaultButton) {
  int changes = 0, starts = 0;
  form.taskNameEdit.OnChange = [&] { ++changes; };
  form.startStopButton.OnClick = [&] { ++starts; };
  QLineEdit* edit = Find<QLineEdit>("taskNameEdit");
  edit->clear();
  form.taskNameEdit.SetText("");
  QTest::keyClicks(edit, "paris");
  EXPECT_EQ(form.taskNameEdit.Text(), "paris");
  EXPECT_EQ(changes, 6);

  QTest::keyClick(edit, Qt::Key_Return);
  EXPECT_EQ(starts, 1);

  form.taskNameEdit.SetReadOnly(true);
  QTest::keyClicks(edit, "x");
  EXPECT_EQ(form.taskNameEdit.Text(), "paris");
}

TEST_F(QtPeers, APasswordBoxEchoesBulletsAndTypesTheRealText) {
  QLineEdit* edit = Find<QLineEdit>("taskNameEdit");
  EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
  form.taskNameEdit.SetPasswordEcho(true);
  EXPECT_EQ(edit->echoMode(), QLineEdit::Password);
  edit->clear();
  form.taskNameEdit.SetText("");
  QTest::keyClicks(edit, "pw");
  EXPECT_EQ(form.taskNameEdit.Text(), "pw");
  EXPECT_NE(edit->displayText(), "pw");
  form.taskNameEdit.SetPasswordEcho(false);
  EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
}

TEST_F(QtPeers, ClicksReachTheHandlersAndTheirErrorsTheErrorBox) {
  int clicks = 0, linkClicks = 0, doubleClicks = 0;
  form.browseFolderButton.OnClick = [&] { ++clicks; };
  form.homePageLink.OnClick = [&] { ++linkClicks; };
  form.logMemo.OnDblClick = [&] { ++doubleClicks; };
  QTest::mouseClick(Find<QPushButton>("browseFolderButton"), Qt::LeftButton);
  QTest::mouseClick(Find<QLabel>("homePageLink"), Qt::LeftButton);
  QTest::mouseDClick(Find<QPlainTextEdit>("logMemo")->viewport(), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(linkClicks, 1);
  EXPECT_EQ(doubleClicks, 1);

  QTest::mouseClick(Find<QCheckBox>("useProxyCheckBox"), Qt::LeftButton);
  EXPECT_TRUE(form.useProxyCheckBox.Checked());

  QToolButton* up = Find<QWidget>("zoomUpDown")->findChild<QToolButton*>("Up");
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(form.zoomEdit.Text(), "5");
  EXPECT_EQ(Find<QLineEdit>("zoomEdit")->text(), "5");

  form.browseFolderButton.OnClick = [] { throw Exception("Cannot create file /ro/a.krvn"); };
  QTest::mouseClick(Find<QPushButton>("browseFolderButton"), Qt::LeftButton);
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Cannot create file /ro/a.krvn"});
}

TEST_F(QtPeers, TheMemoWidgetStaysInStepWithItsLines) {
  QPlainTextEdit* memo = Find<QPlainTextEdit>("logMemo");
  auto expected = [&] {
    QStringList lines;
    for (const std::string& line : form.logMemo.Lines.Strings())
      lines << QString::fromStdString(line);
    return lines.join('\n');
  };
  form.logMemo.Lines.Add("T1 gv_0_0_2.jpg OK");
  form.logMemo.Lines.Add("");
  form.logMemo.Lines.Add("Error: may be your IP is banned.\nPlease try again later.");
  EXPECT_EQ(memo->toPlainText(), expected());

  form.logMemo.Lines.Assign({"header", "", "line"});
  EXPECT_EQ(memo->toPlainText(), expected());
  form.logMemo.Lines.Clear();
  form.logMemo.Lines.Add("");  // one empty line, then more: none may merge into it
  form.logMemo.Lines.Add("--------------------------------");
  form.logMemo.Lines.Add("Task Stoped!");
  EXPECT_EQ(memo->toPlainText(), expected());
  EXPECT_EQ(memo->blockCount(), 3);
}

TEST_F(QtPeers, ClosingTheWindowAsksTheModelAndClosingTheMainFormEndsTheApplication) {
  bool allow = false;
  form.OnCloseQuery = [&](bool& canClose) { canClose = allow; };
  window()->close();
  EXPECT_TRUE(window()->isVisible());
  EXPECT_TRUE(form.Visible());
  allow = true;
  window()->close();
  EXPECT_FALSE(window()->isVisible());
  EXPECT_TRUE(app.Terminated());
}

struct Dialog : TForm {
  explicit Dialog(TApplication& app) : TForm(app, "optionsWindow") {
    SetCaption("Options");
    SetClientSize(360, 310);
    SetBorderStyle(bsDialog);
    SetPosition(poMainFormCenter);
    SetFormStyle(fsStayOnTop);
    browseFolderButton.SetDefault(true);
    browseFolderButton.SetModalResult(mrOk);
    browseFolderButton.SetBounds(200, 280, 75, 25);
  }
  TButton browseFolderButton{this, "browseFolderButton", "OK"};
};

TEST_F(QtPeers, ShowModalRunsAModalLoopUntilTheFormCloses) {
  Dialog dialog(app);
  bool wasModal = false;
  QSize size;
  app.QueueCall([&] {  // runs inside the modal loop, as the user would act
    QWidget* window = WidgetOf(dialog);
    wasModal = window->isModal();
    size = window->size();
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    QTest::mouseClick(window->findChild<QPushButton*>("browseFolderButton"), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(size, QSize(360, 310));
  EXPECT_FALSE(WidgetOf(dialog)->isVisible());
}

TEST_F(QtPeers, AScreenshotOfTheWindowIsSavedUnderTheBuildFolder) {
  QDir().mkpath(KORVANE_BINARY_DIR "/screenshots");
  QString path = KORVANE_BINARY_DIR "/screenshots/sample_form.png";
  QFile::remove(path);
  app.ProcessMessages();
  ASSERT_TRUE(window()->grab().save(path));
  QImage image(path);
  EXPECT_EQ(image.width(), window()->width());
  EXPECT_GT(image.height(), 480);  // the menu bar sits above the client area
}

}  // namespace
}  // namespace korvane::test
