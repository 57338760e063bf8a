#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QTest>
#include <QWheelEvent>
#include <chrono>
#include <functional>

#include "PanoramaPainter.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/PanoramaRecordFile.h"
#include "task/TileGeometry.h"
#include "viewer/JpegPicture.h"
#include "viewer/TestPanoramas.h"
#include "viewer/ViewerLimits.h"
#include "viewer/qt/FlatPanoramaView.h"
#include "viewer/qt/PanoramaDocument.h"
#include "viewer/qt/PanoramaWindow.h"
#include "viewer/qt/SpherePanoramaView.h"

namespace korvane::viewer {
namespace {

using namespace std::chrono_literals;

constexpr int PanoramaZoom = 3;
constexpr int TaskZoom = 2;  // a grid of 4 x 2 tiles

// Serves Qt's event loop until done holds or bound has passed; returns done().
bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds bound) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < bound.count())
    QTest::qWait(10);
  return done();
}

QImage Grab(QWidget* widget) {
  QApplication::processEvents();
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB888);
}

bool IsMarkRed(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(c.red()),
                                 static_cast<std::uint8_t>(c.green()),
                                 static_cast<std::uint8_t>(c.blue())};
  return test::IsMarkRed(pixel);
}

bool IsChequerGrey(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  const std::uint8_t pixel[3] = {static_cast<std::uint8_t>(c.red()),
                                 static_cast<std::uint8_t>(c.green()),
                                 static_cast<std::uint8_t>(c.blue())};
  return test::IsChequerGrey(pixel);
}

void Screenshot(QWidget* window, const QString& name) {
  const QString folder = KORVANE_BINARY_DIR "/screenshots";
  QDir().mkpath(folder);
  EXPECT_TRUE(window->grab().save(folder + "/" + name + ".png")) << name.toStdString();
}

QString StatusOf(const PanoramaWindow& window, const char* name) {
  const QLabel* label = window.findChild<QLabel*>(name);
  return label ? label->text() : QString("(no %1)").arg(name);
}

class ViewerWindowTest : public ::testing::Test {
 protected:
  ViewerWindowTest() {
    window.resize(640, 400);
    window.show();
  }

  // Opens the path and waits until the picture or a message is up.
  void OpenAndWait(const std::string& path) {
    window.Open(QString::fromStdString(path));
    ASSERT_TRUE(WaitFor(
        [&] { return window.Document()->IsOpen() || !window.Message().startsWith("Opening"); },
        10s));
  }

  // A task "street" of zoom TaskZoom in the temporary folder with the given tiles.
  std::string WriteTask(std::initializer_list<std::pair<int, int>> tiles) {
    const std::string task = folder.Path() + "street.krvn";
    WriteFileBytes(task, "[MapsType]\nMapsType=32\n[Zoom]\nZoom=" + std::to_string(TaskZoom) +
                             "\n[XY]\nMinX=0\nMinY=0\nMaxX=3\nMaxY=1\n");
    CreateDir(folder.Path() + "street");
    for (const auto& [x, y] : tiles)
      test::WriteStandinTile(folder.Path() + "street/", x, y, TaskZoom);
    return task;
  }

  test::TempFolder folder;
  PanoramaWindow window;
};

double MarkHeading(int k) {
  const standin::PanoramaPainter painter("any", PanoramaZoom);
  const standin::PixelBox mark = painter.HeadingMark(k);
  return (mark.Left + mark.Width / 2.0) / painter.Width() * 360.0;
}

TEST_F(ViewerWindowTest, SphereViewShowsTheHeadingMarkInTheMiddle) {
  WriteFileBytes(folder.Path() + "street.jpg", test::StandinPanoramaJpeg(PanoramaZoom));
  OpenAndWait(folder.Path() + "street.jpg");
  SpherePanoramaView* view = window.SphereView();
  ASSERT_TRUE(view->isVisible()) << window.Message().toStdString();
  view->SetAngles({MarkHeading(4), 8.0, 60.0});  // heading 120, a little up
  QImage frame = Grab(view);
  EXPECT_TRUE(IsMarkRed(frame, frame.width() / 2, frame.height() / 2));
  EXPECT_EQ(StatusOf(window, "viewStatus"), "Heading 120.4°   Pitch 8.0°   Field of view 60°");
  EXPECT_EQ(StatusOf(window, "sourceStatus"), "3328 x 1664 pixels");
  Screenshot(&window, "pictoscope-360");

  // Keys turn by 5 degrees: off the mark and back onto it; the wheel narrows the view.
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_FALSE(IsMarkRed(Grab(view), frame.width() / 2, frame.height() / 2));
  QTest::keyClick(view, Qt::Key_Left);
  QTest::keyClick(view, Qt::Key_Up);
  EXPECT_NEAR(view->Angles().Pitch, 13.0, 1e-9);
  EXPECT_TRUE(IsMarkRed(Grab(view), frame.width() / 2, frame.height() / 2));
  const QPointF middle(view->width() / 2.0, view->height() / 2.0);
  QWheelEvent wheel(middle, view->mapToGlobal(middle), QPoint(), QPoint(0, 240), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &wheel);
  EXPECT_DOUBLE_EQ(view->Angles().FieldOfView, 50.0);

  // Dragging the picture 100 pixels to the right turns the view to the left.
  const ViewAngles before = view->Angles();
  const QPoint from(view->width() / 2, view->height() / 2);
  QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, from);
  QTest::mouseMove(view, from + QPoint(100, 0));
  QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, from + QPoint(100, 0));
  EXPECT_NEAR(view->Angles().Heading, before.Heading - 100 * 50.0 / view->width(), 1e-6);
}

TEST_F(ViewerWindowTest, FlatViewFitsZoomsAndShowsOneToOne) {
  WriteFileBytes(folder.Path() + "street.jpg", test::StandinPanoramaJpeg(PanoramaZoom));
  OpenAndWait(folder.Path() + "street.jpg");
  QTest::keyClick(&window, Qt::Key_F);
  FlatPanoramaView* view = window.FlatView();
  ASSERT_TRUE(view->isVisible());
  Grab(view);
  EXPECT_NEAR(view->Viewport().Scale, static_cast<double>(view->width()) / 3328, 1e-9);
  QTest::keyClick(view, Qt::Key_1);
  EXPECT_DOUBLE_EQ(view->Viewport().Scale, 1.0);
  EXPECT_EQ(StatusOf(window, "viewStatus"), "Zoom 100%");
  const QPointF at(100, 80);
  const double pictureX = view->Viewport().Left + at.x() / view->Viewport().Scale;
  QWheelEvent wheel(at, view->mapToGlobal(at), QPoint(), QPoint(0, 120), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &wheel);
  EXPECT_DOUBLE_EQ(view->Viewport().Scale, 1.25);
  EXPECT_NEAR(view->Viewport().Left + at.x() / view->Viewport().Scale, pictureX, 1e-9);
  QTest::keyClick(view, Qt::Key_0);
  EXPECT_LT(view->Viewport().Scale, 1.0);
}

TEST_F(ViewerWindowTest, TaskFolderFillsInWhileShown) {
  OpenAndWait(WriteTask({{0, 0}, {1, 0}, {3, 1}}));
  ASSERT_TRUE(window.Document()->IsOpen()) << window.Message().toStdString();
  ASSERT_TRUE(WaitFor([&] { return window.Document()->ShownTiles() == 3; }, 10s));
  window.ShowFlat();
  FlatPanoramaView* view = window.FlatView();
  // The panorama (1664 x 832) fills the view's width; a tile is a quarter of it and more.
  auto tileSpot = [&](int x, int y) {
    const double scale = view->Viewport().Scale;
    return QPoint(static_cast<int>((x * TilePixels + 60 - view->Viewport().Left) * scale),
                  static_cast<int>((y * TilePixels + 200 - view->Viewport().Top) * scale));
  };
  QImage frame = Grab(view);
  const QPoint missing = tileSpot(2, 0), present = tileSpot(1, 0);
  EXPECT_TRUE(IsChequerGrey(frame, missing.x(), missing.y()));
  EXPECT_FALSE(IsChequerGrey(frame, present.x(), present.y()));
  EXPECT_EQ(StatusOf(window, "sourceStatus"), "3 of 8 tiles, 1664 x 832 pixels");
  Screenshot(&window, "pictoscope-flat-tiles");

  // The download writes tile (2, 0): it shows within a second, found by the folder's watch.
  QElapsedTimer sinceWritten;
  sinceWritten.start();
  test::WriteStandinTile(folder.Path() + "street/", 2, 0, TaskZoom);
  ASSERT_TRUE(WaitFor([&] { return window.Document()->ShownTiles() == 4; }, 5s));
  EXPECT_LT(sinceWritten.elapsed(), 1000);
  frame = Grab(view);
  EXPECT_FALSE(IsChequerGrey(frame, missing.x(), missing.y()));
  EXPECT_EQ(StatusOf(window, "sourceStatus"), "4 of 8 tiles, 1664 x 832 pixels");
  window.ShowSphere();
  Grab(window.SphereView());
  Screenshot(&window, "pictoscope-360-tiles");
}

TEST_F(ViewerWindowTest, BadInputShowsAMessageInTheWindowAndOnStderr) {
  const std::string good = test::StandinPanoramaJpeg(1);
  const std::string& base = folder.Path();
  WriteFileBytes(base + "page.jpg", "<html><body>Not found</body></html>");
  WriteFileBytes(base + "cut.jpg", good.substr(0, good.size() / 2));
  WriteFileBytes(base + "dot.jpg", test::PlainJpeg(1, 1));
  WriteFileBytes(base + "strip.jpg", test::PlainJpeg(65500, 1));
  WriteFileBytes(base + "huge.jpg", test::WithForgedSize(test::PlainJpeg(64, 64), 65000, 65000));
  WriteFileBytes(base + "gone.krvn", "[Zoom]\nZoom=3\n");
  CreateDir(base + "empty");
  const std::pair<std::string, std::string> cases[] = {
      {"page.jpg", "Not a JPEG picture: Not a JPEG file: starts with 0x3c 0x68."},
      {"cut.jpg", "The picture is damaged or cut short: "},
      {"dot.jpg", "The picture is 1 x 1 pixels: too small to be a panorama."},
      {"strip.jpg", "The picture is 65500 x 1 pixels: too small to be a panorama."},
      {"huge.jpg", "The picture is too big to show: 65000 x 65000 pixels"},
      {"gone.krvn",
       "The tile folder " + base + "gone/ of the task " + base + "gone.krvn does not exist."},
      {"empty", "No tiles (gv_X_Y_Z.jpg) in the folder " + base + "empty/."},
      {"absent.jpg", "Cannot open file " + base + "absent.jpg"},
  };
  for (const auto& [name, message] : cases) {
    testing::internal::CaptureStderr();
    OpenAndWait(base + name);
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_FALSE(window.Document()->IsOpen()) << name;
    EXPECT_TRUE(window.Message().startsWith(QString::fromStdString(message)))
        << name << ": " << window.Message().toStdString();
    EXPECT_NE(errors.find("pictoscope: " + message), std::string::npos) << errors;
  }
  Screenshot(&window, "pictoscope-bad-input");
  // The window still works: the next good picture shows.
  WriteFileBytes(base + "good.jpg", good);
  OpenAndWait(base + "good.jpg");
  EXPECT_TRUE(window.Document()->IsOpen());
}

// A record beside the picture puts north in the middle of the window at once, and names the
// capture month and the copyright line; Save View As writes what the window shows.
TEST_F(ViewerWindowTest, KnownHeading_OpensFacingNorthAndSavesTheView) {
  WriteFileBytes(folder.Path() + "street.jpg", test::StandinPanoramaJpeg(PanoramaZoom));
  PanoramaRecord record;
  record.Heading = 180 - MarkHeading(2);  // north is at the mark of angle 60
  record.Date = CaptureMonth{2021, 6};
  record.Copyright = "(c) 2021 Test Roads";
  WritePanoramaRecord(folder.Path() + "street.krvn", record);  // street.json
  OpenAndWait(folder.Path() + "street.jpg");
  SpherePanoramaView* view = window.SphereView();
  ASSERT_TRUE(view->isVisible()) << window.Message().toStdString();
  const QImage frame = Grab(view);
  EXPECT_TRUE(IsMarkRed(frame, frame.width() / 2, frame.height() / 2));
  EXPECT_EQ(StatusOf(window, "compassStatus"), "Facing N (0°)");
  EXPECT_EQ(StatusOf(window, "placeStatus"), "Captured 2021-06   (c) 2021 Test Roads");
  EXPECT_TRUE(StatusOf(window, "viewStatus").startsWith("Heading 0.0°"))
      << StatusOf(window, "viewStatus").toStdString();
  Screenshot(&window, "pictoscope-north");
  QTest::keyClick(view, Qt::Key_Right);
  for (int k = 0; k < 17; ++k)
    QTest::keyClick(view, Qt::Key_Right);
  EXPECT_EQ(StatusOf(window, "compassStatus"), "Facing E (90°)");

  const std::string saved = folder.Path() + "east.jpg";
  const QString said = window.SaveView(QString::fromStdString(saved), 400, 300);
  EXPECT_EQ(said.toStdString(), "Saved " + saved + " (400 x 300)");
  const std::string bytes = ReadFileBytes(saved);
  const JpegHeader header = ReadJpegHeader(bytes);
  EXPECT_EQ(header.Width, 400);
  EXPECT_EQ(header.Height, 300);
  EXPECT_NE(bytes.find("KorvaneView:Heading=\"90\""), std::string::npos);
  EXPECT_NE(bytes.find("KorvaneView:HeadingReference=\"north\""), std::string::npos);
}

// Without a record, the heading Korvane wrote into the picture's XMP does the same.
TEST_F(ViewerWindowTest, HeadingInTheXmp_OpensFacingNorth) {
  WriteFileBytes(folder.Path() + "xmp.jpg",
                 test::WithXmp(test::StandinPanoramaJpeg(PanoramaZoom),
                               "<x:xmpmeta><rdf:Description xmlns:GPano=\"http://ns.google.com/"
                               "photos/1.0/panorama/\" GPano:PoseHeadingDegrees=\"" +
                                   std::to_string(180 - MarkHeading(5)) + "\"/></x:xmpmeta>"));
  OpenAndWait(folder.Path() + "xmp.jpg");
  const QImage frame = Grab(window.SphereView());
  EXPECT_TRUE(IsMarkRed(frame, frame.width() / 2, frame.height() / 2));
  EXPECT_EQ(StatusOf(window, "compassStatus"), "Facing N (0°)");
  EXPECT_EQ(StatusOf(window, "placeStatus"), "");
}

}  // namespace
}  // namespace korvane::viewer
