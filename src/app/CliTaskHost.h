#pragma once

#include <ostream>

#include "session/SessionHost.h"
#include "ui/TApplication.h"

namespace korvane {

// korvane-cli's view of a download session: the log on a stream (every line as it comes, the
// whole new content when Start loads the log file), message and error boxes through the
// application's dialogs (standard error for the console), and whether the task has ended.
class CliTaskHost final : public SessionHost {
 public:
  // app and out must outlive the host.
  CliTaskHost(TApplication& app, std::ostream& out) : app_(app), out_(out) {}

  bool Ended() const { return ended_; }

  void LogReplaced(const TStringList& lines) override;
  void LogLineAdded(const std::string& line) override;
  void FailedListReplaced(const TStringList&) override {}
  void FailedLineAdded(const std::string&) override {}
  void ShowMessage(const std::string& text) override { app_.ShowMessage(text); }
  void TaskStarted(int) override {}
  void TaskEnded(const std::exception* error) override;
  void ProcessMessages() override { app_.ProcessMessages(); }
  bool Quitting() const override { return app_.Terminated(); }

 private:
  TApplication& app_;
  std::ostream& out_;
  bool ended_ = false;
};

}  // namespace korvane
