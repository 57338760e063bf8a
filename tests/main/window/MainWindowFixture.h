#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "main/MainWindow.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {

// The main window on a headless application, pointed at a stand-in service, with a fast clock
// (waits are recorded and take a hundredth of their nominal time), a temporary program folder
// and a temporary save folder.
class MainWindowFixture : public ::testing::Test {
 protected:
  explicit MainWindowFixture(const std::string& plan = "");
  ~MainWindowFixture() override;

  // Fills the boxes as a user would type them.
  void Type(const std::string& task, const std::string& lat, const std::string& lon,
            const std::string& zoom, const std::string& path);
  // Presses the big button as a user does (an error shows the error box).
  void Press();
  // Serves the loop until the end sequence has run; fails the test after a bound.
  void RunToEnd();
  // Press, then RunToEnd when a task started.
  void StartAndRunToEnd();

  std::string SavePath() const { return save.Path(); }
  std::string ReadSaved(const std::string& name) const;
  std::vector<std::string> LogLines() const;

  RecordingClock clock{100};
  TempProgramFolder program;
  TempFolder save;
  std::unique_ptr<StandinFixture> standin;
  TScriptedDialogs dialogs;
  std::unique_ptr<TApplication> app;
  std::unique_ptr<MainWindow> form;
  int tasksEnded = 0;
};

}  // namespace korvane::test
