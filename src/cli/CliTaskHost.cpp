#include "cli/CliTaskHost.h"

#include <chrono>

#include "platform/KeptTexts.h"

namespace korvane {

void CliTaskHost::LogReplaced(const TStringList& lines) {
  ClearProgress();
  for (const std::string& line : lines)
    out_ << line << '\n';
  out_.flush();
  RedrawProgress();
}

void CliTaskHost::LogLineAdded(const std::string& line) {
  ClearProgress();
  out_ << line << '\n' << std::flush;
  RedrawProgress();
}

void CliTaskHost::ShowMessage(const std::string& text) {
  ClearProgress();
  app_.ShowMessage(text);
}

void CliTaskHost::ProgressChanged(const SessionProgress& progress) {
  lastProgress_ = progress;
  RedrawProgress();
}

void CliTaskHost::TaskEnded(const std::exception* error) {
  // The last count stays on the terminal above the end's messages.
  if (progress_ && lastProgress_) progress_->Finish();
  lastProgress_.reset();
  if (error) app_.HandleException(*error);
  app_.ShowMessage(KeptText::TaskStoppedBox);
  ended_ = true;
}

void CliTaskHost::ClearProgress() {
  if (progress_ && lastProgress_) progress_->Clear();
}

void CliTaskHost::RedrawProgress() {
  if (!progress_ || !lastProgress_) return;
  progress_->Show(*lastProgress_, std::chrono::steady_clock::now());
}

}  // namespace korvane
