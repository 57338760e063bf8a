#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "combine/CombineTestTiles.h"
#include "combine/window/CombinerWindow.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "ui/TScriptedDialogs.h"
#include "ui/qt/QtPeerFactory.h"
#include "ui/qt/TQtBackend.h"

namespace korvane {
namespace {

template <class W>
W* Find(const TForm& form, const char* name) {
  QWidget* window = WidgetOf(form);
  W* widget = window ? window->findChild<W*>(name) : nullptr;
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

// The real widgets, the file choice scripted: a user browses for the task and presses Combine.
TEST(CombinerWindowGui, BrowseAndCombine_BarFullThumbnailShown) {
  test::TempFolder folder;
  const std::string task = test::WriteCombineTask(folder.Path(), "street", test::ClassicAtZoom(3));
  TScriptedDialogs dialogs;
  TQtBackend backend;
  TApplication app(dialogs, &backend);
  CombinerWindow window(app);
  window.Show();

  dialogs.QueuePick(task);
  QTest::mouseClick(Find<QPushButton>(window, "browseButton"), Qt::LeftButton);
  EXPECT_EQ(Find<QLineEdit>(window, "outputEdit")->text().toStdString(),
            folder.Path() + "street.jpg");
  QTest::mouseClick(Find<QPushButton>(window, "combineButton"), Qt::LeftButton);

  // Complete: the picture's line, and no box.
  EXPECT_EQ(Find<QLabel>(window, "resultLabel")->text().toStdString(),
            folder.Path() + "street.jpg (3328 x 1664)");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_TRUE(FileExists(folder.Path() + "street.jpg"));
  auto* bar = Find<QProgressBar>(window, "progressBar");
  EXPECT_EQ(bar->value(), 1664);
  EXPECT_EQ(bar->maximum(), 1664);
  auto* thumbnail = Find<QLabel>(window, "thumbnailImage");
  EXPECT_FALSE(thumbnail->pixmap().isNull());
  EXPECT_EQ(thumbnail->pixmap().width(), 444);
  EXPECT_TRUE(dialogs.Errors().empty());

  const QString shots = KORVANE_BINARY_DIR "/screenshots";
  QDir().mkpath(shots);
  QApplication::processEvents();
  EXPECT_TRUE(WidgetOf(window)->grab().save(shots + "/mosaicker.png"));
}

}  // namespace
}  // namespace korvane
