#include "ui/qt/TQtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QUrl>
#include <algorithm>

#include "ui/DialogFilter.h"
#include "ui/qt/QtConvert.h"

namespace korvane {

namespace {

QWidget* DialogParent() {
  return QApplication::activeWindow();
}

void ShowBox(QMessageBox::Icon icon, const QString& title, const std::string& text) {
  QMessageBox box(icon, title, ToQString(text), QMessageBox::Ok, DialogParent());
  box.setObjectName(icon == QMessageBox::Critical ? "ErrorBox" : "MessageBox");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

// A file, a web address or a "mailto:" address as a URL.
QUrl TargetUrl(const std::string& target) {
  QString text = ToQString(target);
  if (text.startsWith('/')) return QUrl::fromLocalFile(text);
  QUrl url(text, QUrl::StrictMode);
  if (url.isValid() && !url.scheme().isEmpty()) return url;
  return QUrl::fromUserInput(text);
}

}  // namespace

std::vector<std::string> QtNameFilters(const std::string& filter) {
  std::vector<std::string> filters;
  for (const TFilterEntry& entry : ParseDialogFilter(filter)) {
    std::string patterns;
    for (const std::string& pattern : entry.Patterns) {
      patterns += (patterns.empty() ? "" : " ") + pattern;
    }
    filters.push_back(entry.Description + " (" + patterns + ")");
  }
  return filters;
}

void TQtDialogs::ShowMessage(const std::string& text) {
  ShowBox(QMessageBox::NoIcon, TitleSource ? ToQString(TitleSource()) : QString(), text);
}

void TQtDialogs::ShowError(const std::string& text) {
  ShowBox(QMessageBox::Critical, TitleSource ? ToQString(TitleSource()) : QString(), text);
}

std::optional<std::string> TQtDialogs::PickFolder(const std::string& title,
                                                  const std::string& startFolder) {
  QString start = ToQString(startFolder);
  if (!start.isEmpty() && !QDir(start).exists()) start.clear();
  QString chosen = QFileDialog::getExistingDirectory(DialogParent(), ToQString(title), start,
                                                     QFileDialog::ShowDirsOnly);
  if (chosen.isEmpty()) return std::nullopt;
  while (chosen.size() > 1 && chosen.endsWith('/'))
    chosen.chop(1);
  return FromQString(chosen);
}

std::optional<std::string> TQtDialogs::OpenFile(const TOpenFileRequest& request) {
  QFileDialog dialog(DialogParent(), ToQString(request.Title), ToQString(request.InitialDir));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::AnyFile);  // a typed name of a missing file is accepted
  QStringList filters;
  for (const std::string& filter : QtNameFilters(request.Filter))
    filters << ToQString(filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index = std::clamp(request.FilterIndex, 1, static_cast<int>(filters.size())) - 1;
    dialog.selectNameFilter(filters[index]);
  }
  if (!request.FileName.empty()) dialog.selectFile(ToQString(request.FileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return FromQString(dialog.selectedFiles().front());
}

bool TQtDialogs::ShellOpen(const std::string& target) {
  return QDesktopServices::openUrl(TargetUrl(target));
}

bool TQtDialogs::StartProgram(const std::string& path, const std::vector<std::string>& arguments) {
  QStringList qtArguments;
  for (const std::string& argument : arguments)
    qtArguments << ToQString(argument);
  return QProcess::startDetached(ToQString(path), qtArguments);
}

}  // namespace korvane
