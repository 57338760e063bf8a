#include "retry/window/RetryWindow.h"

#include "platform/ScopedFlag.h"

namespace korvane {

namespace {

constexpr const char* StopCaption = "Stop";

}  // namespace

RetryWindow::RetryWindow(TApplication& app) : TForm(app, "retryWindow"), session_(*this, app) {
  SetCaption("Re-Download failed files");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientSize(703, 453);

  buttonPanel.SetBounds(0, 0, 703, 57);
  buttonPanel.SetAlign(alTop);
  openListButton.SetBounds(16, 16, 201, 25);
  linesPanel.SetAlign(alClient);
  linesMemo.SetAlign(alClient);
  linesMemo.SetReadOnly(true);
  linesMemo.SetScrollBars(ssBoth);

  OnShow = [this] { FormShow(); };
  // Closing the window during a run stops it: nobody would see its lines any more.
  OnCloseQuery = [this](bool& canClose) {
    canClose = true;
    Stop();
  };
  openListButton.OnClick = [this] { OpenListClick(); };
  openListButton.SetTakesClicksWhileBusy(true);  // Stop while the run fetches
}

void RetryWindow::FormShow() {
  linesMemo.Lines.Clear();
}

void RetryWindow::OpenListClick() {
  if (running_) {
    Stop();
    return;
  }
  ScopedFlag running(running_);
  lastRunOutcome_ = RetryRunOutcome::Failed;  // until the run says otherwise

  openListDialog.Title = "Open ftl file:";
  openListDialog.Filter = "Projects(*.ftl)|*.ftl";
  openListDialog.FilterIndex = 1;
  if (!openListDialog.Execute()) {
    lastRunOutcome_ = RetryRunOutcome::Cancelled;
    return;
  }
  linesMemo.Lines.Clear();
  lastRunOutcome_ = session_.Run(openListDialog.FileName);
}

void RetryWindow::Stop() {
  session_.Stop();
}

void RetryWindow::LineAdded(const std::string& line) {
  linesMemo.Lines.Add(line);
}

void RetryWindow::ServeUntil(const std::function<bool()>& done) {
  App().ProcessMessagesUntil(done);
}

void RetryWindow::FetchingChanged(bool fetching) {
  if (fetching) {
    idleCaption_ = openListButton.Caption();
    openListButton.SetCaption(StopCaption);
  } else {
    openListButton.SetCaption(idleCaption_);
  }
}

}  // namespace korvane
