#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "GuiFixture.h"
#include "LayoutCheck.h"
#include "main/ProductInfo.h"

namespace korvane::test {
namespace {

// The client areas the forms set (the main window's frame of 520 x 480 holds a caption, a
// menu bar and a border of 4 around 512 x 426).
const QSize MainClient(512, 426);
const QSize OptionsClient(360, 430);
const QSize RetryClient(703, 453);
const QSize ConverterClient(466, 99);
const QSize AboutClient(315, 181);

const QColor Green(0, 0x80, 0);

// A line edit's frame and inner margin on each side of its text.
constexpr int LineEditMargin = 4;

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The family the windows use: Tahoma where installed, the desktop's sans-serif otherwise.
QString ExpectedFamily() {
  return QFontDatabase::hasFamily("Tahoma")
             ? QString("Tahoma")
             : QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
}

// The items of a menu as the user sees them: separators as "-", hidden items marked.
QStringList ItemsOf(const QMenu* menu) {
  QStringList items;
  if (!menu) return items;
  for (const QAction* action : menu->actions()) {
    QString item = action->isSeparator() ? QString("-") : action->text();
    items << (action->isVisible() ? item : "(hidden) " + item);
  }
  return items;
}

QPoint CentreOf(const QRect& rect) {
  return rect.topLeft() + QPoint(rect.width() / 2, rect.height() / 2);
}

void ExpectCentredOn(const QWidget* window, const QRect& around) {
  const QPoint offset = CentreOf(window->frameGeometry()) - CentreOf(around);
  EXPECT_LE(offset.manhattanLength(), 2) << window->objectName().toStdString();
}

// A dialog frame cannot be resized by the user.
void ExpectFixedSize(const QWidget* window, const QSize& client) {
  EXPECT_EQ(window->size(), client) << window->objectName().toStdString();
  EXPECT_EQ(window->minimumSize(), client);
  EXPECT_EQ(window->maximumSize(), client);
}

class GuiWindows : public GuiFixture {
 protected:
  GuiWindows() { program.WriteConfig("[IniParas]\r\nDefaultPath=/srv/tiles\r\n"); }
};

TEST_F(GuiWindows, TheMainWindowShowsItsControlsWithTheirTextsLookAndPlace) {
  ShowMain();
  QWidget* window = Window(MainForm());
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(window->windowTitle(), "Korvane 3.0");
  EXPECT_EQ(QApplication::applicationName(), "Korvane");
  EXPECT_EQ(Find<QWidget>(MainForm(), "Client")->size(), MainClient);
  ExpectCentredOn(window, window->screen()->availableGeometry());

  EXPECT_EQ(Find<QLabel>(MainForm(), "taskNameLabel")->text(), "Task name:");
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "taskNameEdit")->text(), "newtask.krvn");
  EXPECT_EQ(Find<QPushButton>(MainForm(), "openTaskButton")->text(), "Open task ...");
  EXPECT_EQ(Find<QLabel>(MainForm(), "latitudeLabel")->text(), "Latitude:");
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "latitudeEdit")->text(), "");
  EXPECT_EQ(Find<QLabel>(MainForm(), "longitudeLabel")->text(), "Longitude:");
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "longitudeEdit")->text(), "");
  EXPECT_EQ(Find<QLabel>(MainForm(), "zoomLabel")->text(), "Zoom level: ");
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "zoomEdit")->text(), "3");
  EXPECT_EQ(Find<QLabel>(MainForm(), "savePathLabel")->text(), "Path to save:");
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "savePathEdit")->text(), "/srv/tiles");
  QPushButton* pick = Find<QPushButton>(MainForm(), "browseFolderButton");
  EXPECT_EQ(pick->text(), "...");
  EXPECT_EQ(pick->toolTip(), "Click to select path");
  EXPECT_EQ(pick->geometry(), QRect(438, 99, 51, 25));
  EXPECT_EQ(Find<QLabel>(MainForm(), "totalTilesLabel")->geometry(), QRect(16, 158, 265, 13));

  QPushButton* start = Find<QPushButton>(MainForm(), "startStopButton");
  EXPECT_EQ(start->text(), "Start");
  EXPECT_TRUE(start->isDefault());
  EXPECT_TRUE(start->font().bold());
  EXPECT_EQ(start->font().pixelSize(), 13);
  EXPECT_EQ(start->geometry(), QRect(352, 146, 129, 41));

  QLabel* label = Find<QLabel>(MainForm(), "taskNameLabel");
  EXPECT_EQ(label->font().family(), ExpectedFamily());
  EXPECT_EQ(label->font().pixelSize(), 11);

  auto* memo = Find<QPlainTextEdit>(MainForm(), "logMemo");
  EXPECT_TRUE(memo->isVisible());
  EXPECT_TRUE(memo->isReadOnly());
  EXPECT_EQ(LinesOf(memo), QStringList{"[log window]"});
  EXPECT_EQ(memo->toolTip(), "Double click to view log in notepad");
  EXPECT_EQ(memo->palette().color(QPalette::Text), Green);
  EXPECT_EQ(memo->palette().color(QPalette::Base),
            QApplication::palette().color(QPalette::ToolTipBase));
  EXPECT_EQ(memo->font().pixelSize(), 13);
  EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

  auto* failed = Find<QPlainTextEdit>(MainForm(), "failedListMemo");
  EXPECT_FALSE(failed->isVisibleTo(window));
  EXPECT_EQ(LinesOf(failed), QStringList{"[Failed tile inforamtion window]"});
  EXPECT_EQ(failed->palette().color(QPalette::Text), QColor(0, 0, 0xFF));

  auto* status = Find<QStatusBar>(MainForm(), "statusBar");
  EXPECT_EQ(status->height(), 19);
  // At the bottom, inside the window's border of 4.
  EXPECT_EQ(status->geometry().bottom(), MainClient.height() - 4 - 1);
  EXPECT_EQ(status->findChild<QLabel*>("SimpleText")->text(),
            "Download StreetView images from Google Maps to your PC.");

  Screenshot(MainForm(), "main_window");
}

TEST_F(GuiWindows, TheMainMenuHasItsItemsAccessKeysSeparatorsAndHiddenEntries) {
  ShowMain();
  auto* bar = Find<QMenuBar>(MainForm(), "mainMenu");
  ASSERT_NE(bar, nullptr);
  EXPECT_TRUE(bar->isVisible());
  QStringList titles;
  for (const QAction* action : bar->actions())
    titles << (action->isVisible() ? action->text() : "(hidden) " + action->text());
  EXPECT_EQ(titles, (QStringList{"&File", "&Options", "(hidden) &Misc", "&Tools", "&Help"}));

  EXPECT_EQ(ItemsOf(Find<QMenu>(MainForm(), "fileMenu")), QStringList{"E&xit"});
  EXPECT_EQ(ItemsOf(Find<QMenu>(MainForm(), "optionsMenu")), QStringList{"Options..."});
  EXPECT_EQ(ItemsOf(Find<QMenu>(MainForm(), "miscMenu")),
            (QStringList{"(hidden) Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"...", "-",
                         "View log file", "(hidden) -", "(hidden) Re-download failed tiles"}));
  EXPECT_EQ(ItemsOf(Find<QMenu>(MainForm(), "toolsMenu")),
            (QStringList{"Images Viewer", "-", "Images Combiner", "-", "re-dowload failed files"}));
  EXPECT_EQ(ItemsOf(Find<QMenu>(MainForm(), "helpMenu")),
            (QStringList{"User manual", "Homepage", "-", "About..."}));

  // The menu bar sits above the client area, which keeps the form's size.
  QWidget* window = Window(MainForm());
  EXPECT_EQ(Find<QWidget>(MainForm(), "Client")->geometry(),
            QRect(QPoint(0, bar->height()), MainClient));
  EXPECT_EQ(window->size(), QSize(MainClient.width(), MainClient.height() + bar->height()));
}

TEST_F(GuiWindows, TheZoomArrowsStepBetweenOneAndFiveWithoutWrapping) {
  ShowMain();
  auto* updown = Find<QWidget>(MainForm(), "zoomUpDown");
  auto* zoom = Find<QLineEdit>(MainForm(), "zoomEdit");
  ASSERT_TRUE(updown && zoom);
  auto* up = updown->findChild<QToolButton*>("Up");
  auto* down = updown->findChild<QToolButton*>("Down");
  for (int i = 0; i < 4; ++i)
    QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(zoom->text(), "5");
  for (int i = 0; i < 6; ++i)
    QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(zoom->text(), "1");
  EXPECT_EQ(MainForm().zoomEdit.Text(), "1");

  // The arrow keys in the box step it the same way.
  zoom->setFocus();
  QTest::keyClick(zoom, Qt::Key_Up);
  QTest::keyClick(zoom, Qt::Key_Up);
  EXPECT_EQ(zoom->text(), "3");
  for (int i = 0; i < 3; ++i)
    QTest::keyClick(zoom, Qt::Key_Down);
  EXPECT_EQ(MainForm().zoomEdit.Text(), "1");
}

TEST_F(GuiWindows, TheInputPanelDrawsARaisedEdgeAndALoweredBevelInsideItsBorder) {
  ShowMain();
  auto* panel = Find<QWidget>(MainForm(), "inputPanel");
  ASSERT_NE(panel, nullptr);
  const QImage face = panel->grab().toImage();
  const int right = face.width() - 1;
  const int bottom = face.height() - 1;
  auto lightness = [&](int x, int y) { return face.pixelColor(x, y).lightness(); };
  // Outer bevel raised: lit top-left edge, shaded bottom-right edge.
  EXPECT_GT(lightness(0, bottom / 2), lightness(right, bottom / 2));
  EXPECT_GT(lightness(right / 2, 0), lightness(right / 2, bottom));
  // Inner bevel lowered, inside the border width of 3: the other way round.
  const int inner = 1 + 3;
  EXPECT_LT(lightness(inner, bottom / 2), lightness(right - inner, bottom / 2));
  EXPECT_LT(lightness(right / 2, inner), lightness(right / 2, bottom - inner));
}

TEST_F(GuiWindows, ADoubleClickOnTheLogWindowBeforeAnyTaskSaysNoTaskIsRunning) {
  ShowMain();
  MessageBoxAnswerer boxes;
  auto* memo = Find<QPlainTextEdit>(MainForm(), "logMemo");
  ASSERT_NE(memo, nullptr);
  QTest::mouseDClick(memo->viewport(), Qt::LeftButton);
  EXPECT_EQ(boxes.Texts(), QStringList{"No task running now." + QString(18, ' ')});
}

TEST_F(GuiWindows, OptionsOpensModallyFromTheMenuCentredOnTheMainWindow) {
  program.WriteConfig(
      "[IniParas]\r\nDefaultPath=/srv/tiles\r\n[Proxy]\r\nUseProxy=1\r\nProxyServer=proxy.lan\r\n"
      "ProxyPort=3128\r\nProxyUsername=ann\r\nProxyPassword=a=b\r\n");
  ShowMain();
  OptionsWindow& options = forms->optionsWindow;
  bool sawIt = false;
  WhenModal([&] {
    QWidget* window = Window(options);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(QApplication::activeModalWidget(), window);
    sawIt = true;
    EXPECT_EQ(window->windowTitle(), "Options");
    ExpectFixedSize(window, OptionsClient);
    ExpectCentredOn(window, Window(MainForm())->frameGeometry());

    EXPECT_EQ(Find<QLabel>(options, "defaultPathLabel")->text(), "Default path to save :");
    EXPECT_EQ(Find<QLineEdit>(options, "defaultPathEdit")->text(), "/srv/tiles");
    EXPECT_EQ(Find<QPushButton>(options, "browseFolderButton")->text(), "...");
    auto* useProxy = Find<QCheckBox>(options, "useProxyCheckBox");
    EXPECT_EQ(useProxy->text(), "Use proxy server");
    EXPECT_TRUE(useProxy->isChecked());
    EXPECT_EQ(Find<QLabel>(options, "proxyServerLabel")->text(), "Proxy Server Name (IP)");
    EXPECT_EQ(Find<QLineEdit>(options, "proxyServerEdit")->text(), "proxy.lan");
    EXPECT_EQ(Find<QLabel>(options, "proxyPortLabel")->text(), "Proxy Port");
    EXPECT_EQ(Find<QLineEdit>(options, "proxyPortEdit")->text(), "3128");
    EXPECT_EQ(Find<QLabel>(options, "proxyUsernameLabel")->text(), "Proxy Username");
    EXPECT_EQ(Find<QLineEdit>(options, "proxyUsernameEdit")->text(), "ann");
    EXPECT_EQ(Find<QLabel>(options, "proxyPasswordLabel")->text(), "Proxy Password");
    auto* password = Find<QLineEdit>(options, "proxyPasswordEdit");
    EXPECT_EQ(password->text(), "a=b");
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);  // bullets, not the password
    auto* ok = Find<QPushButton>(options, "okButton");
    EXPECT_EQ(ok->text(), "OK");
    EXPECT_TRUE(ok->isDefault());
    EXPECT_EQ(Find<QPushButton>(options, "cancelButton")->text(), "Cancel");
    Screenshot(options, "options");

    // The three services are one choice; the key box (bullets) belongs to the Map Tiles API.
    auto* current = Find<QRadioButton>(options, "currentServiceButton");
    auto* mapTiles = Find<QRadioButton>(options, "mapTilesServiceButton");
    auto* key = Find<QLineEdit>(options, "apiKeyEdit");
    EXPECT_TRUE(current->isChecked());
    EXPECT_FALSE(key->isVisible());
    QTest::mouseClick(mapTiles, Qt::LeftButton);
    EXPECT_TRUE(mapTiles->isChecked());
    EXPECT_FALSE(current->isChecked());
    EXPECT_TRUE(key->isVisible());
    EXPECT_EQ(key->echoMode(), QLineEdit::Password);
    QTest::mouseClick(mapTiles, Qt::LeftButton);  // a second click keeps the choice
    EXPECT_TRUE(mapTiles->isChecked());
    QTest::mouseClick(current, Qt::LeftButton);
    EXPECT_FALSE(mapTiles->isChecked());
    EXPECT_FALSE(key->isVisible());

    // Esc does nothing here; Cancel closes.
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    QTest::mouseClick(Find<QPushButton>(options, "cancelButton"), Qt::LeftButton);
  });
  Find<QAction>(MainForm(), "optionsItem")->trigger();
  EXPECT_TRUE(sawIt);
  EXPECT_FALSE(Window(options)->isVisible());
  EXPECT_TRUE(Window(MainForm())->isVisible());
}

TEST_F(GuiWindows, ReDownloadOpensModallyFromTheToolsMenu) {
  ShowMain();
  RetryWindow& retry = forms->retryWindow;
  bool sawIt = false;
  WhenModal([&] {
    QWidget* window = Window(retry);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(QApplication::activeModalWidget(), window);
    sawIt = true;
    EXPECT_EQ(window->windowTitle(), "Re-Download failed files");
    ExpectFixedSize(window, RetryClient);
    ExpectCentredOn(window, window->screen()->availableGeometry());
    EXPECT_EQ(Find<QPushButton>(retry, "openListButton")->text(),
              "Open *.ftl file and download...");
    EXPECT_EQ(Find<QWidget>(retry, "buttonPanel")->geometry(), QRect(0, 0, 703, 57));
    auto* memo = Find<QPlainTextEdit>(retry, "linesMemo");
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->toPlainText(), "");
    EXPECT_EQ(Find<QWidget>(retry, "linesPanel")->geometry(),
              QRect(0, 57, RetryClient.width(), RetryClient.height() - 57));
    Screenshot(retry, "redownload");
    window->close();  // the close box
  });
  Find<QAction>(MainForm(), "redownloadFailedFilesItem")->trigger();
  EXPECT_TRUE(sawIt);
  EXPECT_FALSE(Window(retry)->isVisible());
}

TEST_F(GuiWindows, TheConverterStaysOnTopWithoutBlockingAndConverts) {
  ShowMain();
  ConverterWindow& converter = forms->converterWindow;
  // Its menu command is hidden; the main window's wiring is what the command runs.
  MainForm().ShowConverter();
  QWidget* window = Window(converter);
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_EQ(window->windowTitle(), "Convert \"Degrees,Minutes,Seconds\" to \"Degrees\"");
  ExpectFixedSize(window, ConverterClient);
  ExpectCentredOn(window, window->screen()->availableGeometry());
  EXPECT_EQ(Find<QGroupBox>(converter, "inputGroup")->title(), "Degrees, Minutes, Seconds:");
  EXPECT_EQ(Find<QGroupBox>(converter, "resultGroup")->title(), "Degrees:");
  auto* convert = Find<QPushButton>(converter, "convertButton");
  EXPECT_EQ(convert->text(), "convert");
  EXPECT_TRUE(convert->isDefault());
  auto* result = Find<QLineEdit>(converter, "resultEdit");
  EXPECT_TRUE(result->isReadOnly());

  TypeInto(Find<QLineEdit>(converter, "degreesEdit"), "40");
  TypeInto(Find<QLineEdit>(converter, "minutesEdit"), "42");
  TypeInto(Find<QLineEdit>(converter, "secondsEdit"), "46");
  QTest::mouseClick(convert, Qt::LeftButton);
  EXPECT_EQ(result->text(), "40.712776184082");

  // The longest kind of result is shown whole.
  TypeInto(Find<QLineEdit>(converter, "degreesEdit"), "0");
  TypeInto(Find<QLineEdit>(converter, "minutesEdit"), "0");
  TypeInto(Find<QLineEdit>(converter, "secondsEdit"), "1");
  QTest::keyClick(Find<QLineEdit>(converter, "secondsEdit"), Qt::Key_Return);  // Enter: convert
  EXPECT_EQ(result->text(), "0.000277777784503996");
  EXPECT_LE(result->fontMetrics().horizontalAdvance(result->text()) + 2 * LineEditMargin,
            result->width());
  Screenshot(converter, "converter");

  window->close();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(converter.resultEdit.Text(), "0.000277777784503996");  // kept while hidden
}

TEST_F(GuiWindows, TheAboutBoxShowsTheCaptionAndTwoGreenUnderlinedLinks) {
  ShowMain();
  AboutWindow& about = forms->aboutWindow;
  bool sawIt = false;
  WhenModal([&] {
    QWidget* window = Window(about);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(QApplication::activeModalWidget(), window);
    sawIt = true;
    EXPECT_EQ(window->windowTitle(), "About");
    ExpectFixedSize(window, AboutClient);
    ExpectCentredOn(window, window->screen()->availableGeometry());
    auto* title = Find<QLabel>(about, "titleLabel");
    EXPECT_EQ(title->text(), "Korvane 3.0");
    EXPECT_TRUE(title->font().underline());
    EXPECT_EQ(Find<QLabel>(about, "homePageCaptionLabel")->text(), "Homepage:");
    EXPECT_EQ(Find<QLabel>(about, "emailCaptionLabel")->text(), "Email:");
    EXPECT_TRUE(Find<QLabel>(about, "developerLabel")->text().startsWith("Developer:"));
    auto* home = Find<QLabel>(about, "homePageLabel");
    auto* mail = Find<QLabel>(about, "emailLabel");
    EXPECT_EQ(home->text(), Q(HomePageAddress));
    EXPECT_EQ(mail->text(), Q(ContactAddress));
    for (QLabel* link : {home, mail}) {
      EXPECT_EQ(link->palette().color(QPalette::WindowText), Green);
      EXPECT_TRUE(link->font().underline());
      EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    }
    auto* ok = Find<QPushButton>(about, "okButton");
    EXPECT_EQ(ok->text(), "&OK");
    EXPECT_TRUE(ok->isDefault());
    Screenshot(about, "about");
    QTest::keyClick(window, Qt::Key_Return);  // Enter presses OK
  });
  Find<QAction>(MainForm(), "aboutItem")->trigger();
  EXPECT_TRUE(sawIt);
  EXPECT_FALSE(Window(about)->isVisible());
}

// Every window in the font it really gets (Tahoma is seldom installed on Linux): nothing
// overlaps, sticks out or is cut off.
TEST_F(GuiWindows, NoWindowHasOverlappingOrCutOffControls) {
  ShowMain();
  EXPECT_EQ(LayoutProblems(MainForm()).join("\n").toStdString(), "");
  for (TForm* form : std::initializer_list<TForm*>{&forms->optionsWindow, &forms->retryWindow,
                                                   &forms->converterWindow, &forms->aboutWindow}) {
    form->Show();
    QApplication::processEvents();
    EXPECT_EQ(LayoutProblems(*form).join("\n").toStdString(), "") << form->Name();
    form->Hide();
  }
}

}  // namespace
}  // namespace korvane::test
