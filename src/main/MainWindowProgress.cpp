#include "main/MainWindow.h"
#include "platform/NumberFormat.h"

namespace korvane {

bool MainWindow::TaskRunning() const {
  return session_.Running();
}

void MainWindow::ProgressTimerTick() {
  session_.Tick();
}

void MainWindow::LogReplaced(const TStringList& lines) {
  logMemo.Lines.Assign(lines);
}

void MainWindow::LogLineAdded(const std::string& line) {
  logMemo.Lines.Add(line);
}

void MainWindow::FailedListReplaced(const TStringList& lines) {
  failedListMemo.Lines.Assign(lines);
}

void MainWindow::FailedLineAdded(const std::string& line) {
  failedListMemo.Lines.Add(line);
}

void MainWindow::ShowMessage(const std::string& text) {
  App().ShowMessage(text);
}

void MainWindow::TaskStarted(int totalTiles) {
  totalTilesLabel.SetCaption("Total images: " + IntToStr(totalTiles));
  startStopButton.SetCaption("Stop");
  progressTimer.SetEnabled(true);
}

// The count of the running task in the status bar, which only changes its text: the boxes and
// buttons stay where they are. The last count stays after the end, until the next start.
void MainWindow::ProgressChanged(const SessionProgress& progress) {
  statusBar.SetSimpleText("Tiles " + IntToStr(progress.Done) + "/" + IntToStr(progress.Total) +
                          ", failed " + IntToStr(progress.Failed));
}

void MainWindow::TaskEnded(const std::exception* error) {
  progressTimer.SetEnabled(false);
  startStopButton.SetCaption("Start");
  if (error) App().HandleException(*error);
  // A window closing while the task ran ends quietly: the user is leaving.
  if (!closing_) App().ShowMessage(KeptText::TaskStoppedBox);
  if (OnTaskEnded) OnTaskEnded();
}

void MainWindow::ServeUntil(const std::function<bool()>& done) {
  App().ProcessMessagesUntil(done);
}

// The button stops the lookup while it runs; TaskStarted keeps it a Stop button for the task.
void MainWindow::LookupRunning(bool running) {
  startStopButton.SetCaption(running ? "Stop" : "Start");
}

bool MainWindow::Quitting() const {
  return App().Terminated();
}

void MainWindow::CallSoon(std::function<void()> call) {
  App().QueueCall(std::move(call));
}

void MainWindow::CloseQuery(bool& canClose) {
  canClose = true;
  if (session_.Starting()) session_.Stop();  // the lookup ends at once; nothing starts
  if (!TaskRunning()) return;
  // Closing while a task runs: stop every worker, keep serving their main-thread calls until
  // they have ended, then let the session save the logs, the list and the positions.
  closing_ = true;
  session_.StopAndFinish(false);
  closing_ = false;
}

void MainWindow::WaitForWorkersAfterTermination() {
  if (!TaskRunning()) return;
  // The window goes while workers still run (the loop was ended without closing the window):
  // stop them quietly, serve their pending calls until each has ended, then end the task.
  closing_ = true;
  session_.StopAndFinish(true);
}

}  // namespace korvane
