#include <gtest/gtest.h>
#include <unistd.h>

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <filesystem>

#include "GuiFixture.h"
#include "download/JpegCheck.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "task/TaskParameters.h"

namespace korvane::test {
namespace {

// Real time a small task may take before the test counts it as hung.
constexpr std::chrono::seconds TaskBound{120};

const QString TaskStopedMessage = "Task stoped!" + QString(20, ' ');

QString Q(const std::string& text) {
  return QString::fromStdString(text);
}

// The main window against a stand-in service (the given fault plan), its save path box
// pointing at a temporary folder, every message box answered with OK.
class GuiTask : public GuiFixture {
 protected:
  explicit GuiTask(const std::string& plan = "") {
    standin = std::make_unique<StandinFixture>(plan);
    program.WriteConfig("[IniParas]\r\nDefaultPath=" + SaveFolder() + "\r\n" +
                        standin->ServiceConfig());
  }

  // The save folder as the folder picker gives it: no trailing "/".
  std::string SaveFolder() const { return save.Path().substr(0, save.Path().size() - 1); }

  // Types the task into the window's boxes as a user does.
  void TypeTask(const QString& name, const QString& zoom) {
    TypeInto(Find<QLineEdit>(MainForm(), "taskNameEdit"), name);
    TypeInto(Find<QLineEdit>(MainForm(), "latitudeEdit"), "48.8566");
    TypeInto(Find<QLineEdit>(MainForm(), "longitudeEdit"), "2.3522");
    TypeInto(Find<QLineEdit>(MainForm(), "zoomEdit"), zoom);
  }

  QPushButton* StartButton() { return Find<QPushButton>(MainForm(), "startStopButton"); }
  // Whether the worker threads the window's session started still exist (Qt's and the
  // system's own threads are none of the test's business).
  bool WorkerThreadsExist() { return MainForm().Session().Running(); }
  QStringList LogWidgetLines() { return LinesOf(Find<QPlainTextEdit>(MainForm(), "logMemo")); }

  // The seven closing lines of a task's log.
  void ExpectClosingLines(const QStringList& lines, const std::string& logFile) {
    ASSERT_GE(lines.size(), 7);
    const QStringList closing = lines.mid(lines.size() - 7);
    EXPECT_EQ(closing[0], "");
    EXPECT_EQ(closing[1], QString(32, '-'));
    EXPECT_EQ(closing[2], "Task Stoped!");
    EXPECT_EQ(closing[3], "");
    EXPECT_TRUE(closing[4].startsWith("Now time:")) << closing[4].toStdString();
    EXPECT_EQ(closing[5], "");
    EXPECT_EQ(closing[6], "Log file has been saved as " + Q(logFile));
  }

  MessageBoxAnswerer boxes;
};

TEST_F(GuiTask, StartClickedInTheWindowDownloadsAZoomOneTaskToItsEnd) {
  ShowMain();
  EXPECT_EQ(Find<QLineEdit>(MainForm(), "savePathEdit")->text(), Q(SaveFolder()));
  TypeTask("gui", "1");

  QTest::mouseClick(StartButton(), Qt::LeftButton);
  EXPECT_EQ(StartButton()->text(), "Stop");
  EXPECT_EQ(Find<QLabel>(MainForm(), "totalTilesLabel")->text(), "Total images: 2");
  ASSERT_TRUE(WaitFor([&] { return !boxes.Texts().isEmpty(); }, TaskBound))
      << "the task did not end in time";

  EXPECT_EQ(boxes.Texts(), QStringList{TaskStopedMessage});
  EXPECT_EQ(StartButton()->text(), "Start");
  EXPECT_FALSE(MainForm().TaskRunning());

  // The log window followed the task: its newest line is in view.
  QScrollBar* scroll = Find<QPlainTextEdit>(MainForm(), "logMemo")->verticalScrollBar();
  EXPECT_GT(scroll->maximum(), 0);
  EXPECT_EQ(scroll->value(), scroll->maximum());

  const std::string logFile = save.Path() + "gui_log.txt";
  const QStringList lines = LogWidgetLines();
  ExpectClosingLines(lines, logFile);
  EXPECT_TRUE(lines.contains("T1 Finished."));
  EXPECT_TRUE(lines.contains("T2 Finished."));
  // The widget shows exactly what was saved.
  QStringList saved;
  for (const std::string& line : LoadLines(logFile))
    saved << Q(line);
  EXPECT_EQ(saved, lines);

  for (const char* tile : {"gui/gv_0_0_1.jpg", "gui/gv_1_0_1.jpg"}) {
    EXPECT_TRUE(JpegFileDecodes(save.Path() + tile)) << tile;
  }
  EXPECT_EQ(ReadFileBytes(save.Path() + "gui_failed.ftl"), "");

  // Each worker paused after its saved tile: nominally 1000 ms, really a hundredth of it.
  EXPECT_EQ(clock.PausesMs(), (std::vector<long long>{1000, 1000}));
  Screenshot(MainForm(), "main_window_task_end");
}

// Tiles come slowly, so the task is surely running when the window is closed.
class GuiSlowTask : public GuiTask {
 protected:
  GuiSlowTask() : GuiTask("tile every delay 300\n") {}
};

TEST_F(GuiSlowTask, ClosingTheWindowDuringATaskStopsItSavesAndLeavesNoThread) {
  ShowMain();
  ASSERT_FALSE(WorkerThreadsExist());
  TypeTask("closing", "3");
  QTest::mouseClick(StartButton(), Qt::LeftButton);
  ASSERT_EQ(StartButton()->text(), "Stop");
  // A worker's position is recorded only once it has finished a tile outside column and row 0
  // (zero means "none" in a task file), so the close waits for one.
  const QRegularExpression recordableTile("gv_[1-9][0-9]*_[1-9][0-9]*_3\\.jpg OK$");
  ASSERT_TRUE(
      WaitFor([&] { return !LogWidgetLines().filter(recordableTile).isEmpty(); }, TaskBound))
      << "no tile outside column and row 0 arrived";
  EXPECT_TRUE(WorkerThreadsExist());
  // Each worker's last line is "T<n> Finished.": some are still fetching.
  const QRegularExpression finished("^T[1-8] Finished\\.$");
  EXPECT_LT(LogWidgetLines().filter(finished).size(), MaxThreadCount);

  QWidget* window = Window(MainForm());
  window->close();  // the close box: the window waits for the workers, then goes

  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(runtime.Application().Terminated());
  EXPECT_FALSE(MainForm().TaskRunning());
  EXPECT_FALSE(WorkerThreadsExist()) << "every worker thread joined";
  EXPECT_TRUE(boxes.Texts().isEmpty()) << boxes.Texts().join("|").toStdString();

  // Not every tile came, and what came is saved: the log with its closing lines, and each
  // worker's last finished tile in the task file.
  const std::string logFile = save.Path() + "closing_log.txt";
  QStringList saved;
  for (const std::string& line : LoadLines(logFile))
    saved << Q(line);
  ExpectClosingLines(saved, logFile);
  EXPECT_EQ(saved.filter(finished).size(), MaxThreadCount) << "every worker ended";
  EXPECT_EQ(saved, LogWidgetLines());
  const int okLines = static_cast<int>(saved.filter(" OK").size());
  EXPECT_GE(okLines, 1);
  EXPECT_LT(okLines, 28);
  TIniFile taskFile(save.Path() + "closing.krvn");
  int positions = 0;
  for (int worker = 1; worker <= 8; ++worker) {
    if (taskFile.ReadInteger("THREADS", "T" + std::to_string(worker) + "X", 0) > 0 ||
        taskFile.ReadInteger("THREADS", "T" + std::to_string(worker) + "Y", 0) > 0) {
      ++positions;
    }
  }
  EXPECT_GE(positions, 1);
}

}  // namespace
}  // namespace korvane::test
