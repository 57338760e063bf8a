#include <exception>

#include "main/TForm1.h"
#include "platform/DateTimeFormat.h"
#include "platform/IniFile.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

// Every fourth tick of the one-second timer saves the task's state.
constexpr int SaveEveryTicks = 4;

}  // namespace

bool TForm1::TaskRunning() const {
  for (const auto& worker : DownThreads) {
    if (worker) return true;
  }
  return false;
}

void TForm1::AddLogLine(const std::string& line) {
  Memo1.Lines.Add(line);
}

void TForm1::AddFailedLine(const std::string& line) {
  Memo2.Lines.Add(line);
}

void TForm1::ThreadDone() {
  --RunningThreads;
}

void TForm1::Timer1Timer() {
  ++TimerTicks;
  if (TimerTicks % SaveEveryTicks == 0) SaveTaskState();
  if (RunningThreads != 0) return;
  EndSequence();
}

void TForm1::WriteWorkerPosition(int index) {
  if (!DownThreads[index]) return;
  const auto [x, y] = DownThreads[index]->CurrentXY();
  TIniFile taskFile(CurrentTask->TaskFilePath());
  if (x > 0) taskFile.WriteInteger(ThreadsSection, ThreadKeyX(index), x);
  if (y > 0) taskFile.WriteInteger(ThreadsSection, ThreadKeyY(index), y);
}

void TForm1::SaveTaskState() {
  for (int i = 0; i < CurrentTask->Params->ThreadCount; ++i)
    WriteWorkerPosition(i);
  Memo1.Lines.SaveToFile(CurrentTask->LogFileName);
  Memo2.Lines.SaveToFile(CurrentTask->FailedFileName);
}

void TForm1::EndSequence() {
  Timer1.SetEnabled(false);
  Memo1.Lines.Add("");
  Memo1.Lines.Add(std::string(32, '-'));
  Memo1.Lines.Add("Task Stoped!");
  Memo1.Lines.Add("");
  Memo1.Lines.Add("Now time:" + NowText());
  Memo1.Lines.Add("");
  Memo1.Lines.Add("Log file has been saved as " + CurrentTask->LogFileName);

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
  attempt([this] { Memo1.Lines.SaveToFile(CurrentTask->LogFileName); });
  attempt([this] { Memo2.Lines.SaveToFile(CurrentTask->FailedFileName); });
  for (int i = 0; i < MaxThreadCount; ++i) {
    if (i < CurrentTask->Params->ThreadCount) attempt([this, i] { WriteWorkerPosition(i); });
    DownThreads[i].reset();
  }
  BitBtn1.SetCaption("Start");

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

void TForm1::CloseQuery(bool& canClose) {
  canClose = true;
  if (!TaskRunning()) return;
  // Closing while a task runs: stop every worker, keep serving their main-thread calls until
  // the timer's end sequence has saved the logs, the list and the positions, then close.
  closing_ = true;
  StopSequence();
  App().ProcessMessagesUntil([this] { return !TaskRunning(); });
  closing_ = false;
}

void TForm1::WaitForWorkersAfterTermination() {
  if (!TaskRunning()) return;
  // The window goes while workers still run (the loop was ended without closing the window):
  // stop them, serve their pending main-thread calls until each has ended, then run the end
  // sequence quietly so the log, the list and the positions are saved.
  closing_ = true;
  for (auto& worker : DownThreads) {
    if (worker) worker->Terminate();
  }
  App().ProcessMessagesUntil([this] { return RunningThreads == 0; });
  if (TaskRunning()) EndSequence();  // unless a timer tick ran it meanwhile
}

}  // namespace korvane
