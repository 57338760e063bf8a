#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/TDialogService.h"

namespace korvane {

// The dialogs of the desktop window: QMessageBox with OK for messages and errors (titled with
// the application's title), QFileDialog for the folder picker and the file-open dialog (the
// model's filter turned into Qt's form), QDesktopServices for shell opens and QProcess for
// companion programs started detached. Needs a QApplication.
class TQtDialogs final : public TDialogService {
 public:
  // The title of the message boxes, asked each time one is shown.
  std::function<std::string()> TitleSource;

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;
  bool ShellOpen(const std::string& target) override;
  bool StartProgram(const std::string& path,
                    const std::vector<std::string>& arguments = {}) override;
};

// The name filters of a file dialog for a filter "Description|patterns|...": each entry as
// "Description (pattern pattern)".
std::vector<std::string> QtNameFilters(const std::string& filter);

}  // namespace korvane
