#include "ui/TConsoleDialogs.h"

#include <utility>

namespace korvane {

void TConsoleDialogs::ShowMessage(const std::string& text) {
  ++boxesShown_;
  out_ << text << std::endl;
}

void TConsoleDialogs::ShowError(const std::string& text) {
  ++boxesShown_;
  ++errorsShown_;
  out_ << text << std::endl;
}

std::optional<std::string> TConsoleDialogs::PickFolder(const std::string&, const std::string&) {
  return std::exchange(folder_, std::nullopt);
}

std::optional<std::string> TConsoleDialogs::OpenFile(const TOpenFileRequest&) {
  return std::exchange(file_, std::nullopt);
}

bool TConsoleDialogs::ShellOpen(const std::string& target) {
  ignored_.push_back(target);
  return false;
}

bool TConsoleDialogs::StartProgram(const std::string& path, const std::vector<std::string>&) {
  ignored_.push_back(path);
  return false;
}

}  // namespace korvane
