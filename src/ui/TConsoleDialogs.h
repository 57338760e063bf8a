#pragma once

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "ui/TDialogService.h"

namespace korvane {

// Dialogs of korvane-cli: the text of every message box and error box goes to a stream
// (stderr) as one line; the pickers answer what was preset for them, once, and cancel
// otherwise. Shell opens and companion programs are recorded but not carried out: a program
// without a screen has no browser or viewer to hand things to, and its stderr carries only
// the boxes' texts.
class TConsoleDialogs final : public TDialogService {
 public:
  explicit TConsoleDialogs(std::ostream& out = std::cerr) : out_(out) {}

  // The next folder picker answers path.
  void PresetFolder(std::string path) { folder_ = std::move(path); }
  // The next file-open dialog answers path.
  void PresetFile(std::string path) { file_ = std::move(path); }

  // Message and error boxes shown so far.
  int BoxesShown() const { return boxesShown_; }
  int ErrorsShown() const { return errorsShown_; }
  // The targets of ShellOpen and StartProgram, in order (not carried out).
  const std::vector<std::string>& Ignored() const { return ignored_; }

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;
  bool ShellOpen(const std::string& target) override;
  bool StartProgram(const std::string& path,
                    const std::vector<std::string>& arguments = {}) override;

 private:
  std::ostream& out_;
  std::optional<std::string> folder_;
  std::optional<std::string> file_;
  int boxesShown_ = 0;
  int errorsShown_ = 0;
  std::vector<std::string> ignored_;
};

}  // namespace korvane
