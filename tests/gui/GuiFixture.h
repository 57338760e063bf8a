#pragma once

#include <gtest/gtest.h>

#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "korvane/KorvaneForms.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "ui/qt/QtPeerFactory.h"
#include "ui/qt/TQtRuntime.h"

namespace korvane::test {

// Answers every message box the program shows with OK as soon as it is up, and keeps the texts
// it answered, so a test can run the real window (and its real QMessageBoxes) without a user.
class MessageBoxAnswerer final : public QObject {
 public:
  MessageBoxAnswerer();
  ~MessageBoxAnswerer() override;

  const QStringList& Texts() const { return texts_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QStringList texts_;
};

// The program's five windows made by KorvaneForms on a real Qt runtime (offscreen in CI), in a
// temporary program folder, with a recording clock that makes every nominal wait a hundredth
// of itself (the 1000 ms timer ticks every 10 ms). Derived fixtures write the configuration
// and start a stand-in service before the main window is shown.
class GuiFixture : public ::testing::Test {
 protected:
  GuiFixture();
  ~GuiFixture() override;

  // Makes the windows and shows the main one, as the program does at start-up.
  void ShowMain();

  MainWindow& MainForm() const { return forms->mainWindow; }
  // The window of a form (null before it was first shown).
  static QWidget* Window(const TForm& form) { return WidgetOf(form); }

  // The widget of a form's control by object name; fails the test (and returns null) when
  // the window has no such widget of that kind.
  template <class W>
  static W* Find(const TForm& form, const char* name) {
    QWidget* window = Window(form);
    W* widget = window ? window->findChild<W*>(name) : nullptr;
    EXPECT_NE(widget, nullptr) << form.Name() << "." << name;
    return widget;
  }

  // Saves a picture of the form's window as screenshots/<name>.png under the build folder and
  // returns its path.
  static std::string Screenshot(const TForm& form, const std::string& name);

  // Queues action to run once the next modal loop is running (the action checks that its form
  // is the one up); used before a command that shows a window modally.
  static void WhenModal(std::function<void()> action);

  // Serves Qt's event loop until done holds or bound has passed; returns done().
  static bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound);

  // Replaces the text of a line edit as a user does: select all, then type.
  static void TypeInto(QWidget* edit, const QString& text);

  // The lines of a log widget.
  static QStringList LinesOf(const QWidget* memo);

  RecordingClock clock{100};
  TempProgramFolder program;
  TempFolder save;
  std::unique_ptr<StandinFixture> standin;
  int argc_ = 1;
  char argv0_[8] = "korvane";
  char* argv_[2] = {argv0_, nullptr};
  TQtRuntime runtime{argc_, argv_};
  std::unique_ptr<KorvaneForms> forms;
};

}  // namespace korvane::test
