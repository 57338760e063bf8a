#include <exception>

#include "main/MainWindow.h"
#include "platform/DateTimeFormat.h"
#include "platform/IniFile.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

// Every fourth tick of the one-second timer saves the task's state.
constexpr int SaveEveryTicks = 4;

}  // namespace

bool MainWindow::TaskRunning() const {
  for (const auto& worker : Workers) {
    if (worker) return true;
  }
  return false;
}

void MainWindow::AddLogLine(const std::string& line) {
  logMemo.Lines.Add(line);
}

void MainWindow::AddFailedLine(const std::string& line) {
  failedListMemo.Lines.Add(line);
}

void MainWindow::WorkerDone() {
  --RunningWorkers;
}

void MainWindow::ProgressTimerTick() {
  ++TimerTicks;
  if (TimerTicks % SaveEveryTicks == 0) SaveTaskState();
  if (RunningWorkers != 0) return;
  EndSequence();
}

void MainWindow::WriteWorkerPosition(int index) {
  if (!Workers[index]) return;
  const auto [x, y] = Workers[index]->CurrentXY();
  TIniFile taskFile(CurrentTask->TaskFilePath());
  if (x > 0) taskFile.WriteInteger(ThreadsSection, ThreadKeyX(index), x);
  if (y > 0) taskFile.WriteInteger(ThreadsSection, ThreadKeyY(index), y);
}

void MainWindow::SaveTaskState() {
  for (int i = 0; i < CurrentTask->Params->ThreadCount; ++i)
    WriteWorkerPosition(i);
  logMemo.Lines.SaveToFile(CurrentTask->LogFileName);
  failedListMemo.Lines.SaveToFile(CurrentTask->FailedFileName);
}

void MainWindow::EndSequence() {
  progressTimer.SetEnabled(false);
  logMemo.Lines.Add("");
  logMemo.Lines.Add(std::string(32, '-'));
  logMemo.Lines.Add("Task Stoped!");
  logMemo.Lines.Add("");
  logMemo.Lines.Add("Now time:" + NowText());
  logMemo.Lines.Add("");
  logMemo.Lines.Add("Log file has been saved as " + CurrentTask->LogFileName);

  // A file that cannot be written must not leave the task half-ended: every step still runs,
  // the workers are destroyed and the button returns to Start; the first error is shown after.
  std::exception_ptr firstError;
  auto attempt = [&firstError](const std::function<void()>& step) {
    try {
      step();
    } catch (...) {
      if (!firstError) firstError = std::current_exception();
    }
  };
  attempt([this] { logMemo.Lines.SaveToFile(CurrentTask->LogFileName); });
  attempt([this] { failedListMemo.Lines.SaveToFile(CurrentTask->FailedFileName); });
  for (int i = 0; i < MaxThreadCount; ++i) {
    if (i < CurrentTask->Params->ThreadCount) attempt([this, i] { WriteWorkerPosition(i); });
    Workers[i].reset();
  }
  startStopButton.SetCaption("Start");

  if (firstError) {
    try {
      std::rethrow_exception(firstError);
    } catch (const std::exception& error) {
      App().HandleException(error);
    }
  }
  // A window closing while the task ran ends quietly: the user is leaving.
  if (!closing_) App().ShowMessage("Task stoped!" + std::string(20, ' '));
  if (OnTaskEnded) OnTaskEnded();
}

void MainWindow::CloseQuery(bool& canClose) {
  canClose = true;
  if (!TaskRunning()) return;
  // Closing while a task runs: stop every worker, keep serving their main-thread calls until
  // the timer's end sequence has saved the logs, the list and the positions, then close.
  closing_ = true;
  StopSequence();
  App().ProcessMessagesUntil([this] { return !TaskRunning(); });
  closing_ = false;
}

void MainWindow::WaitForWorkersAfterTermination() {
  if (!TaskRunning()) return;
  // The window goes while workers still run (the loop was ended without closing the window):
  // stop them, serve their pending main-thread calls until each has ended, then run the end
  // sequence quietly so the log, the list and the positions are saved.
  closing_ = true;
  for (auto& worker : Workers) {
    if (worker) worker->Terminate();
  }
  App().ProcessMessagesUntil([this] { return RunningWorkers == 0; });
  if (TaskRunning()) EndSequence();  // unless a timer tick ran it meanwhile
}

}  // namespace korvane
