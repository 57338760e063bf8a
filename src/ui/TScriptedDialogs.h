#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ui/TDialogService.h"

namespace korvane {

// One thing the program showed or asked through the dialog service.
struct TDialogEvent {
  enum TKind { Message, Error, PickFolder, OpenFile, ShellOpen, StartProgram };
  TKind Kind = Message;
  // The box's text, the picker's title, the target opened or the program started (its path,
  // then each argument after a blank).
  std::string Text{};
  // PickFolder: the start folder. OpenFile: the whole request.
  std::string StartFolder{};
  TOpenFileRequest Request{};
  // What a picker answered (nothing: cancel).
  std::optional<std::string> Answer{};
};

// Dialogs for tests: the pickers take their answers from a queue a test fills beforehand
// ("pick /tmp/x.ftl", "cancel"), boxes are acknowledged at once, and everything is recorded in
// order. A picker with no answer queued answers cancel. Usable by any test suite.
class TScriptedDialogs final : public TDialogService {
 public:
  // The next picker (folder or file) chooses path.
  void QueuePick(std::string path);
  // The next picker is cancelled.
  void QueueCancel();
  int PendingAnswers() const;

  void ShowMessage(const std::string& text) override;
  void ShowError(const std::string& text) override;
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override;
  std::optional<std::string> OpenFile(const TOpenFileRequest& request) override;
  bool ShellOpen(const std::string& target) override;
  bool StartProgram(const std::string& path,
                    const std::vector<std::string>& arguments = {}) override;

  std::vector<TDialogEvent> Events() const;
  // The texts of the events of one kind, in order.
  std::vector<std::string> Texts(TDialogEvent::TKind kind) const;
  std::vector<std::string> Messages() const { return Texts(TDialogEvent::Message); }
  std::vector<std::string> Errors() const { return Texts(TDialogEvent::Error); }
  std::vector<std::string> Opened() const { return Texts(TDialogEvent::ShellOpen); }
  std::vector<std::string> Started() const { return Texts(TDialogEvent::StartProgram); }
  // Every event as one line, in order: "message: TEXT", "error: TEXT", "pick folder: TITLE",
  // "open file: TITLE", "open: TARGET", "start: PATH".
  std::vector<std::string> Transcript() const;
  void ClearEvents();

  // Runs on the main thread while a box or picker is "open", after it was recorded (for a
  // picker, after its answer was taken): a test can act as the user does while a modal box
  // is up.
  std::function<void(const TDialogEvent&)> OnEvent;

 private:
  std::optional<std::string> NextAnswer();
  void Record(TDialogEvent event);

  mutable std::mutex mutex_;
  std::deque<std::optional<std::string>> answers_;
  std::vector<TDialogEvent> events_;
};

}  // namespace korvane
