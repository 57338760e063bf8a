#include "app/CliTaskHost.h"

#include "platform/KeptTexts.h"

namespace korvane {

void CliTaskHost::LogReplaced(const TStringList& lines) {
  for (const std::string& line : lines)
    out_ << line << '\n';
  out_.flush();
}

void CliTaskHost::LogLineAdded(const std::string& line) {
  out_ << line << '\n' << std::flush;
}

void CliTaskHost::TaskEnded(const std::exception* error) {
  if (error) app_.HandleException(*error);
  app_.ShowMessage(KeptText::TaskStoppedBox);
  ended_ = true;
}

}  // namespace korvane
