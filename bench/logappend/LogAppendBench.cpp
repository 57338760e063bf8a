// Cost of adding one line to the log window (a read-only memo with both scroll bars, as the
// main window's) through its Qt peer, when the window holds about 20 lines and when it holds
// about 20,000. Each line is added the way a worker's line arrives: one Lines.Add, then the
// loop processes its pending events (layout, scrolling to the bottom, painting offscreen).
//
// Two identical windows are measured side by side in one run, in alternating rounds of 20
// lines: the small one is emptied (untimed) before each round, the large one is filled once
// (untimed) with 19,980 lines, scrolled to the bottom, and grows by its rounds. The median
// round of each window gives its time per line.
// Prints:
//   RESULT log_append_ratio <time per line at 20,000 / time per line at 20>   (goal <= 2)
#include <QApplication>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/TScriptedDialogs.h"
#include "ui/qt/QtPeerFactory.h"
#include "ui/qt/TQtBackend.h"

namespace korvane {
namespace {

constexpr int LinesPerRound = 20;
constexpr int LargeLines = 20000;
constexpr int Rounds = 150;

struct LogWindow : TForm {
  explicit LogWindow(TApplication& app) : TForm(app, "logWindow") {
    SetClientSize(520, 480);
    logMemo.SetAlign(alClient);
    logMemo.SetReadOnly(true);
    logMemo.SetScrollBars(ssBoth);
    logMemo.SetFont({.Height = 13, .Color = clGreen});
  }
  TMemo logMemo{this, "logMemo"};
};

std::string WorkerLine(int n) {
  return "T" + std::to_string(n % 8 + 1) + ":/home/user/download/newtask/gv_" +
         std::to_string(n % 97) + "_" + std::to_string(n % 13) + "_5.jpg OK";
}

void Settle(TApplication& app) {
  for (int i = 0; i < 5; ++i)
    app.ProcessMessages();
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Seconds for one round of appends, each followed by the loop's processing.
double TimedRound(TApplication& app, LogWindow& window, int first) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < LinesPerRound; ++i) {
    window.logMemo.Lines.Add(WorkerLine(first + i));
    app.ProcessMessages();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int Run() {
  TScriptedDialogs dialogs;
  TQtBackend backend;
  TApplication app(dialogs, &backend);
  LogWindow smallWindow(app), largeWindow(app);
  smallWindow.Show();
  largeWindow.Show();

  TStringList base;
  for (int i = 0; i < LargeLines - LinesPerRound; ++i)
    base.push_back(WorkerLine(i));
  largeWindow.logMemo.Lines.Assign(base);
  Settle(app);
  auto* editor = static_cast<QPlainTextEdit*>(WidgetOf(largeWindow.logMemo));
  editor->verticalScrollBar()->setValue(editor->verticalScrollBar()->maximum());
  Settle(app);

  std::vector<double> small, large;
  for (int round = 0; round < Rounds; ++round) {
    smallWindow.logMemo.Lines.Clear();
    Settle(app);
    small.push_back(TimedRound(app, smallWindow, 0));
    large.push_back(TimedRound(app, largeWindow, LargeLines + round * LinesPerRound));
  }
  int expected = LargeLines - LinesPerRound + Rounds * LinesPerRound;
  if (editor->blockCount() != expected) {
    std::fprintf(stderr, "the window holds %d lines, not %d\n", editor->blockCount(), expected);
    return 1;
  }
  double perLineSmall = Median(small) / LinesPerRound;
  double perLineLarge = Median(large) / LinesPerRound;
  std::printf("per line with up to %d lines: %.1f us\n", LinesPerRound, perLineSmall * 1e6);
  std::printf("per line with %d to %d lines: %.1f us\n", LargeLines, expected, perLineLarge * 1e6);
  std::printf("RESULT log_append_ratio %.3f\n", perLineLarge / perLineSmall);
  return 0;
}

}  // namespace
}  // namespace korvane

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication qtApp(argc, argv);
  return korvane::Run();
}
