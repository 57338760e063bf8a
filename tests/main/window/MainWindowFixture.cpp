#include "MainWindowFixture.h"

#include <chrono>

#include "platform/FileSystem.h"
#include "platform/TextFile.h"

namespace korvane::test {
namespace {

// Real time a test may take to run a small task to its end before it counts as hung.
constexpr std::chrono::seconds TaskBound{120};

}  // namespace

MainWindowFixture::MainWindowFixture(const std::string& plan)
    : standin(std::make_unique<StandinFixture>(plan)) {
  program.WriteConfig(standin->ServiceConfig());
  app = std::make_unique<TApplication>(dialogs);
  form = std::make_unique<MainWindow>(*app);
  form->OnTaskEnded = [this] { ++tasksEnded; };
  form->Show();
}

MainWindowFixture::~MainWindowFixture() {
  form.reset();
  app.reset();
}

void MainWindowFixture::Type(const std::string& task, const std::string& lat,
                             const std::string& lon, const std::string& zoom,
                             const std::string& path) {
  form->taskNameEdit.SetText(task);
  form->latitudeEdit.SetText(lat);
  form->longitudeEdit.SetText(lon);
  form->zoomEdit.SetText(zoom);
  form->savePathEdit.SetText(path);
}

void MainWindowFixture::Press() {
  form->startStopButton.UserClick();
}

void MainWindowFixture::RunToEnd() {
  const int endedBefore = tasksEnded;
  const auto deadline = std::chrono::steady_clock::now() + TaskBound;
  app->ProcessMessagesUntil(
      [&] { return tasksEnded > endedBefore || std::chrono::steady_clock::now() > deadline; });
  ASSERT_GT(tasksEnded, endedBefore) << "the task did not end in time";
}

void MainWindowFixture::StartAndRunToEnd() {
  Press();
  ASSERT_TRUE(form->TaskRunning()) << "Start ended early";
  RunToEnd();
}

std::string MainWindowFixture::ReadSaved(const std::string& name) const {
  return ReadFileBytes(save.Path() + name);
}

std::vector<std::string> MainWindowFixture::LogLines() const {
  return form->logMemo.Lines.Strings();
}

}  // namespace korvane::test
