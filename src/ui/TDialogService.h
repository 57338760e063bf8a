#pragma once

#include <optional>
#include <string>
#include <vector>

namespace korvane {

// What a file-open dialog is asked: the filter as "Description|patterns|..." and the entry
// selected first, counted from 1.
struct TOpenFileRequest {
  std::string Title{};
  std::string Filter{};
  int FilterIndex = 1;
  std::string InitialDir{};
  std::string FileName{};
};

// The dialogs and desktop services the program uses, so tests can answer them and
// korvane-cli can run without a screen. Called on the main thread. The message and error boxes
// and the pickers are modal: they return when the user has answered.
class TDialogService {
 public:
  virtual ~TDialogService() = default;

  // A message box with an OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // The standard error box: the error's message with an OK button.
  virtual void ShowError(const std::string& text) = 0;
  // A folder chooser; the chosen folder's full path (no trailing "/" except for "/"), or
  // nothing when the user cancels. startFolder, when not empty and existing, is preselected.
  virtual std::optional<std::string> PickFolder(const std::string& title,
                                                const std::string& startFolder) = 0;
  // A file-open dialog; the chosen path, or nothing when the user cancels. The user may type
  // the name of a file that does not exist.
  virtual std::optional<std::string> OpenFile(const TOpenFileRequest& request) = 0;
  // Hands a file, a web address or a "mailto:" address to the desktop's handler for it.
  // Returns whether it was handed over; nothing is shown on failure.
  virtual bool ShellOpen(const std::string& target) = 0;
  // Starts a program detached from this one, with the arguments as they are (no shell).
  // Returns whether it started.
  virtual bool StartProgram(const std::string& path,
                            const std::vector<std::string>& arguments = {}) = 0;
};

}  // namespace korvane
