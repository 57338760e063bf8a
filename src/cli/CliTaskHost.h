#pragma once

#include <optional>
#include <ostream>

#include "cli/ProgressLine.h"
#include "session/SessionHost.h"
#include "ui/TApplication.h"

namespace korvane {

// korvane-cli's view of a download session: the log on a stream (every line as it comes, the
// whole new content when Start loads the log file), message and error boxes through the
// application's dialogs (standard error for the console), and whether the task has ended.
// With a progress line, the count is redrawn on it at every tick and after every log line; it is
// cleared before a message so that each message stands on a line of its own.
class CliTaskHost final : public SessionHost {
 public:
  // app, out and progress (may be null) must outlive the host.
  CliTaskHost(TApplication& app, std::ostream& out, ProgressLine* progress = nullptr)
      : app_(app), out_(out), progress_(progress) {}

  bool Ended() const { return ended_; }

  void LogReplaced(const TStringList& lines) override;
  void LogLineAdded(const std::string& line) override;
  void FailedListReplaced(const TStringList&) override {}
  void FailedLineAdded(const std::string&) override {}
  void ShowMessage(const std::string& text) override;
  void TaskStarted(int) override {}
  void ProgressChanged(const SessionProgress& progress) override;
  void TaskEnded(const std::exception* error) override;
  void ServeUntil(const std::function<bool()>& done) override { app_.ProcessMessagesUntil(done); }
  bool Quitting() const override { return app_.Terminated(); }
  void CallSoon(std::function<void()> call) override { app_.QueueCall(std::move(call)); }

 private:
  void ClearProgress();
  void RedrawProgress();

  TApplication& app_;
  std::ostream& out_;
  ProgressLine* progress_;
  std::optional<SessionProgress> lastProgress_;
  bool ended_ = false;
};

}  // namespace korvane
