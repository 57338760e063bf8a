#include "retry/window/RetryWindow.h"

#include "net/BrowserHeaders.h"
#include "net/FailureKind.h"
#include "net/FailureTexts.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/ScopedFlag.h"
#include "platform/TextFile.h"
#include "platform/WorkOffMainThread.h"
#include "task/FailedList.h"

namespace korvane {

namespace {

constexpr const char* NoRecordsLine = "No failed files records.";
constexpr const char* StartLine = "Start...";
constexpr const char* EndLine = "Download End.";
constexpr const char* StoppedLine = "Download stopped by user.";
constexpr const char* StopCaption = "Stop";
constexpr const char* NotFoundSuffix = ":Error: the image is not found on server.";
constexpr const char* OkSuffix = " ->OK";

// GET address into a fresh body, repeating after connection resets (each repeat with an empty
// buffer, so what a reset attempt received never reaches the file). Returns the failure that
// stands, or nothing on success.
std::optional<RequestFailure> GetRepeatingResets(HttpClient& client, const std::string& address,
                                                 std::string& body) {
  for (int repeats = 0;; ++repeats) {
    body.clear();
    try {
      client.Get(address, body);
      return std::nullopt;
    } catch (const Exception&) {
      RequestFailure failure = ClassifyFailure(std::current_exception());
      if (failure.Kind == FailureKind::ConnectionReset && repeats < MaxResetRepeats) continue;
      body.clear();
      return failure;
    }
  }
}

}  // namespace

RetryWindow::RetryWindow(TApplication& app) : TForm(app, "retryWindow") {
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
  lastRunOutcome_ = Run(openListDialog.FileName);
}

void RetryWindow::Stop() {
  if (client_ != nullptr) client_->Abort();
}

RetryRunOutcome RetryWindow::Run(const std::string& listPath) {
  linesMemo.Lines.Clear();
  const TStringList lines = LoadLines(listPath);
  if (lines.empty()) {
    AddLine(NoRecordsLine);
    return RetryRunOutcome::NoRecords;
  }
  AddLine(StartLine);

  HttpClient client;
  SetBrowserHeaders(client);
  const std::string caption = openListButton.Caption();
  client_ = &client;
  openListButton.SetCaption(StopCaption);
  struct RunEnd {
    RetryWindow& window;
    const std::string& caption;
    ~RunEnd() {
      window.client_ = nullptr;
      window.openListButton.SetCaption(caption);
    }
  } runEnd{*this, caption};
  RunOffMainThread(
      App(), [this](const std::function<bool()>& done) { App().ProcessMessagesUntil(done); },
      [&] {
        for (const std::string& line : lines) {
          if (client.IsAborted() || !FetchLine(client, line)) break;
        }
      });
  if (client.IsAborted()) {
    AddLine(StoppedLine);
    return RetryRunOutcome::Stopped;
  }
  AddLine(EndLine);
  return RetryRunOutcome::Ended;
}

bool RetryWindow::FetchLine(HttpClient& client, const std::string& line) {
  const FailedTile tile = SplitFailedLine(line);
  std::string body;
  if (std::optional<RequestFailure> failure = GetRepeatingResets(client, tile.Address, body)) {
    if (client.IsAborted()) return false;  // stopped: the tile did not fail
    AddLine(failure->Message.value_or("") + "->" + tile.Address);
    if (failure->Kind == FailureKind::Redirect || failure->Kind == FailureKind::Forbidden) {
      AddLine(BannedLine);
      return false;
    }
    if (failure->Kind == FailureKind::NotFound) AddLine(tile.Address + NotFoundSuffix);
    return true;
  }
  // A line without "|" names no file; it cannot be created (and the current folder is no
  // place to try).
  if (tile.File.empty()) throw FileCreateError::ForPath(tile.File);
  WriteFileAtomically(tile.File, body);
  AddLine(tile.File + ":" + tile.Address + OkSuffix);
  return true;
}

void RetryWindow::AddLine(const std::string& line) {
  App().Synchronize([this, &line] {
    linesMemo.Lines.Add(line);
    if (OnLine) OnLine(line);
  });
}

}  // namespace korvane
