#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "support/TempFolder.h"
#include "ui/qt/TQtDialogs.h"

namespace korvane::test {
namespace {

// Acts on the modal dialog once it is up.
template <class Dialog, class Action>
void WhenUp(Action action) {
  QTimer::singleShot(0, [action] {
    auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    action(dialog);
  });
}

TEST(QtDialogs, MessageAndErrorBoxesShowTheTextWithOkAndTheApplicationsTitle) {
  TQtDialogs dialogs;
  dialogs.TitleSource = [] { return std::string("Korvane"); };
  QString text, title;
  int buttons = 0;
  WhenUp<QMessageBox>([&](QMessageBox* box) {
    text = box->text();
    title = box->windowTitle();
    buttons = static_cast<int>(box->buttons().size());
    box->button(QMessageBox::Ok)->click();
  });
  dialogs.ShowMessage("Task stoped!                    ");
  EXPECT_EQ(text, "Task stoped!                    ");
  EXPECT_EQ(title, "Korvane");
  EXPECT_EQ(buttons, 1);

  QMessageBox::Icon icon = QMessageBox::NoIcon;
  WhenUp<QMessageBox>([&](QMessageBox* box) {
    icon = box->icon();
    box->button(QMessageBox::Ok)->click();
  });
  dialogs.ShowError("Cannot create file /ro/x");
  EXPECT_EQ(icon, QMessageBox::Critical);
}

TEST(QtDialogs, TheFileDialogGetsTheTitleFilterAndFolderAndAcceptsANewName) {
  EXPECT_EQ(QtNameFilters("Projects(*.krvn)|*.krvn"),
            std::vector<std::string>{"Projects(*.krvn) (*.krvn)"});
  TempFolder folder;
  TQtDialogs dialogs;
  QString title, filter, directory;
  QString typed = QString::fromStdString(folder.Path() + "missing.ftl");
  WhenUp<QFileDialog>([&](QFileDialog* dialog) {
    title = dialog->windowTitle();
    filter = dialog->selectedNameFilter();
    directory = dialog->directory().absolutePath() + "/";
    dialog->selectFile(typed);
    static_cast<QDialog*>(dialog)->accept();  // as the Open button does
  });
  std::optional<std::string> chosen = dialogs.OpenFile(
      {.Title = "Open ftl file:", .Filter = "Projects(*.ftl)|*.ftl", .InitialDir = folder.Path()});
  EXPECT_EQ(title, "Open ftl file:");
  EXPECT_EQ(filter, "Projects(*.ftl) (*.ftl)");
  EXPECT_EQ(directory.toStdString(), folder.Path());
  EXPECT_EQ(chosen, typed.toStdString());

  WhenUp<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
  EXPECT_EQ(dialogs.OpenFile({.Title = "Open project file:"}), std::nullopt);
}

}  // namespace
}  // namespace korvane::test
