#include "ui/TScriptedDialogs.h"

namespace korvane {

void TScriptedDialogs::QueuePick(std::string path) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.emplace_back(std::move(path));
}

void TScriptedDialogs::QueueCancel() {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_.emplace_back(std::nullopt);
}

int TScriptedDialogs::PendingAnswers() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(answers_.size());
}

std::optional<std::string> TScriptedDialogs::NextAnswer() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (answers_.empty()) return std::nullopt;
  std::optional<std::string> answer = std::move(answers_.front());
  answers_.pop_front();
  return answer;
}

void TScriptedDialogs::Record(TDialogEvent event) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
  }
  if (OnEvent) OnEvent(event);
}

void TScriptedDialogs::ShowMessage(const std::string& text) {
  Record({.Kind = TDialogEvent::Message, .Text = text});
}

void TScriptedDialogs::ShowError(const std::string& text) {
  Record({.Kind = TDialogEvent::Error, .Text = text});
}

std::optional<std::string> TScriptedDialogs::PickFolder(const std::string& title,
                                                        const std::string& startFolder) {
  std::optional<std::string> answer = NextAnswer();
  Record({.Kind = TDialogEvent::PickFolder,
          .Text = title,
          .StartFolder = startFolder,
          .Answer = answer});
  return answer;
}

std::optional<std::string> TScriptedDialogs::OpenFile(const TOpenFileRequest& request) {
  std::optional<std::string> answer = NextAnswer();
  Record({.Kind = TDialogEvent::OpenFile,
          .Text = request.Title,
          .StartFolder = request.InitialDir,
          .Request = request,
          .Answer = answer});
  return answer;
}

bool TScriptedDialogs::ShellOpen(const std::string& target) {
  Record({.Kind = TDialogEvent::ShellOpen, .Text = target});
  return true;
}

bool TScriptedDialogs::StartProgram(const std::string& path,
                                    const std::vector<std::string>& arguments) {
  std::string command = path;
  for (const std::string& argument : arguments)
    command += " " + argument;
  Record({.Kind = TDialogEvent::StartProgram, .Text = command});
  return true;
}

std::vector<TDialogEvent> TScriptedDialogs::Events() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return events_;
}

std::vector<std::string> TScriptedDialogs::Texts(TDialogEvent::TKind kind) const {
  std::vector<std::string> texts;
  for (const TDialogEvent& event : Events()) {
    if (event.Kind == kind) texts.push_back(event.Text);
  }
  return texts;
}

std::vector<std::string> TScriptedDialogs::Transcript() const {
  static const char* const Prefixes[] = {
      "message: ", "error: ", "pick folder: ", "open file: ", "open: ", "start: "};
  std::vector<std::string> lines;
  for (const TDialogEvent& event : Events())
    lines.push_back(Prefixes[event.Kind] + event.Text);
  return lines;
}

void TScriptedDialogs::ClearEvents() {
  std::lock_guard<std::mutex> lock(mutex_);
  events_.clear();
}

}  // namespace korvane
