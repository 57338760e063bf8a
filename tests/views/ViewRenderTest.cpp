#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>

#include "JpegEncoder.h"
#include "ViewTestPanoramas.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/PanoramaRecordFile.h"
#include "viewer/JpegPicture.h"
#include "views/ViewSet.h"
#include "views/ViewSource.h"

namespace korvane {
namespace {

using viewer::RgbBuffer;
using viewer::ViewAngles;

constexpr double Pi = std::numbers::pi;
constexpr int Zoom = 3;  // 3328 x 1664

// The largest difference of one channel between two pixels.
int Difference(const std::uint8_t* a, const std::uint8_t* b) {
  int most = 0;
  for (int c = 0; c < 3; ++c)
    most = std::max(most, std::abs(a[c] - b[c]));
  return most;
}

// The largest step between neighbouring pixels, across and down: a seam is a step far above
// what the smooth sphere panorama changes by from one pixel to the next (under one level at
// these sizes). The classic tiles of the last column are black beyond the panorama's edge, as
// the service's are, and libjpeg's chroma upsampling carries a little of it into the edge
// column: some ten levels, against the hundred of a seam.
constexpr int MaxStep = 12;
int LargestStep(const RgbBuffer& frame) {
  int most = 0;
  for (int y = 0; y < frame.Height; ++y) {
    for (int x = 0; x < frame.Width; ++x) {
      if (x + 1 < frame.Width)
        most = std::max(most, Difference(frame.At(x, y), frame.At(x + 1, y)));
      if (y + 1 < frame.Height)
        most = std::max(most, Difference(frame.At(x, y), frame.At(x, y + 1)));
    }
  }
  return most;
}

// The colour the sphere panorama shows at frame point (x, y), worked out with vectors (the
// camera's forward, right and up axes), independently of the renderer's angles.
std::array<double, 3> Expected(const ViewAngles& angles, int width, int height, double x,
                               double y) {
  const double h = angles.Heading * Pi / 180, p = angles.Pitch * Pi / 180;
  const double focal = width / 2.0 / std::tan(angles.FieldOfView * Pi / 360);
  const double forward[3] = {std::cos(p) * std::cos(h), std::cos(p) * std::sin(h), std::sin(p)};
  const double right[3] = {-std::sin(h), std::cos(h), 0};
  const double up[3] = {-std::sin(p) * std::cos(h), -std::sin(p) * std::sin(h), std::cos(p)};
  const double across = x - width / 2.0, above = height / 2.0 - y;
  double d[3];
  for (int k = 0; k < 3; ++k)
    d[k] = focal * forward[k] + across * right[k] + above * up[k];
  const double length = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
  return test::SphereColour(d[0] / length, d[1] / length, d[2] / length);
}

class ViewRenderTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    sphere_ = new standin::RgbImage(test::SpherePanorama(3328, 1664));
  }
  static void TearDownTestSuite() { delete sphere_; }

  std::string SphereTask() {
    return test::WritePictureTask(folder_.Path(), "sphere", Zoom, *sphere_);
  }
  std::string SphereJpeg() {
    const std::string path = folder_.Path() + "sphere.jpg";
    WriteFileBytes(path, standin::EncodeJpeg(*sphere_, 95));
    return path;
  }

  // Every 16th pixel of the frame shows the colour of its direction.
  static void ExpectTrueColours(const RgbBuffer& frame, const ViewAngles& angles) {
    int worst = 0;
    for (int y = 0; y < frame.Height; y += 16) {
      for (int x = 0; x < frame.Width; x += 16) {
        const auto expected = Expected(angles, frame.Width, frame.Height, x + 0.5, y + 0.5);
        for (int c = 0; c < 3; ++c)
          worst = std::max(
              worst, static_cast<int>(std::lround(std::fabs(frame.At(x, y)[c] - expected[c]))));
      }
    }
    EXPECT_LE(worst, 6) << "heading " << angles.Heading << " pitch " << angles.Pitch;
  }

  static standin::RgbImage* sphere_;
  test::TempFolder folder_;
};

standin::RgbImage* ViewRenderTest::sphere_ = nullptr;

// Across the left and right edges (angle 0 / 360), at both poles, and in between: every pixel
// the colour of its direction and no step between neighbours, from tiles and from one JPEG.
TEST_F(ViewRenderTest, NoSeamAcrossTheEdgeOrAtThePoles) {
  const ViewSource fromTiles = OpenViewSource(SphereTask());
  const ViewSource fromPicture = OpenViewSource(SphereJpeg());
  for (const ViewAngles& angles :
       {ViewAngles{0, 0, 90}, ViewAngles{359, 20, 120}, ViewAngles{180, 90, 90},
        ViewAngles{10, -90, 100}, ViewAngles{90, 75, 60}, ViewAngles{250, -30, 10}}) {
    for (const ViewSource* source : {&fromTiles, &fromPicture}) {
      const MadeView view = RenderView(*source, angles, 320, 240);
      EXPECT_LE(LargestStep(view.Pixels), MaxStep)
          << (source->Task ? "tiles" : "picture") << " heading " << angles.Heading << " pitch "
          << angles.Pitch;
      ExpectTrueColours(view.Pixels, angles);
    }
  }
}

TEST_F(ViewRenderTest, ReadsOnlyTheTilesAndRowsTheViewNeeds) {
  const ViewSource task = OpenViewSource(SphereTask());
  // Angles 150 to 210 (tile columns 2 and 3), pitches -23.4 to 23.4 (tile rows 1 and 2).
  const MadeView level = RenderView(task, {180, 0, 60}, 512, 384);
  EXPECT_EQ(level.TilesRead, 4);
  EXPECT_EQ(level.MissingTiles, 0);
  EXPECT_EQ(level.Denominator, 1);
  EXPECT_EQ(RenderView(task, {180, 0, 90}, 256, 192).Denominator, 4);

  // The same rows of a stitched picture: 46.8 of 180 degrees, with the margins.
  const ViewSource picture = OpenViewSource(SphereJpeg());
  const MadeView rows = RenderView(picture, {180, 0, 60}, 512, 384);
  EXPECT_GT(rows.RowsDecoded, 1664 * 46.8 / 180);
  EXPECT_LT(rows.RowsDecoded, 1664 * 50.0 / 180);
  // At a quarter of the size (1664 / 4 rows): pitches -26.9 to 46.9.
  const int quarter = RenderView(picture, {180, 10, 90}, 256, 192).RowsDecoded;
  EXPECT_GT(quarter, 416 * 73.7 / 180);
  EXPECT_LT(quarter, 416 * 80.0 / 180);
}

// The stand-in's red marks stand every 30 degrees from the left edge, over the horizon. With
// no heading known, view heading H looks at angle H + 180; with the record's, at the compass.
TEST_F(ViewRenderTest, MarksAtTheCentre_RelativeOrCompassHeading) {
  const std::string task = test::WriteStandinTask(folder_.Path(), "standin", Zoom);
  const ViewSource relative = OpenViewSource(task);
  ASSERT_FALSE(relative.MiddleHeading);
  for (int k = 0; k < 12; ++k) {
    const double heading = 30 * k - 180;
    const MadeView view =
        RenderView(relative, {PanoramaAngle(relative, heading) + 0.12, 5, 30}, 200, 150);
    EXPECT_TRUE(test::IsMarkRed(view.Pixels.At(100, 75))) << "mark " << k;
    EXPECT_FALSE(test::IsMarkRed(view.Pixels.At(100 + 40, 75))) << "mark " << k;
  }
  PanoramaRecord record;
  record.Heading = 100;
  WritePanoramaRecord(task, record);
  const ViewSource compass = OpenViewSource(task);
  ASSERT_EQ(compass.MiddleHeading, 100.0);
  // Mark 2 (angle 60) lies 120 degrees left of the middle: compass 340.
  EXPECT_NEAR(PanoramaAngle(compass, 340), 60, 1e-9);
  const MadeView view = RenderView(compass, {PanoramaAngle(compass, 340.12), -5, 30}, 200, 150);
  EXPECT_TRUE(test::IsMarkRed(view.Pixels.At(100, 75)));
}

// A mark is a piece of a meridian, a great circle: seen from above the horizon and to one
// side it leans, but stays straight. (The view, angles 66 to 94, holds the mark at 90 only.)
TEST_F(ViewRenderTest, StraightLineInTheWorldStaysStraight) {
  const ViewSource source = OpenViewSource(test::WriteStandinTask(folder_.Path(), "line", Zoom));
  const MadeView view = RenderView(source, {80, 15, 28}, 512, 384);
  std::vector<std::pair<int, double>> centres;  // row, centre of the red run
  for (int y = 0; y < view.Pixels.Height; ++y) {
    int count = 0;
    double sum = 0;
    for (int x = 0; x < view.Pixels.Width; ++x) {
      if (test::IsMarkRed(view.Pixels.At(x, y))) {
        ++count;
        sum += x;
      }
    }
    if (count >= 3 && count < 40) centres.emplace_back(y, sum / count);
  }
  ASSERT_GE(centres.size(), 100u);
  const auto [y0, x0] = centres[2];
  const auto [y1, x1] = centres[centres.size() - 3];
  EXPECT_GT(std::fabs(x1 - x0), 8) << "the mark leans";
  for (std::size_t i = 2; i + 2 < centres.size(); ++i) {
    const double onLine = x0 + (x1 - x0) * (centres[i].first - y0) / (y1 - y0);
    EXPECT_NEAR(centres[i].second, onLine, 1.5) << "row " << centres[i].first;
  }
}

TEST_F(ViewRenderTest, CubeFaces_JoinAtTheirEdges) {
  const ViewSource source = OpenViewSource(SphereTask());
  std::vector<RgbBuffer> faces;
  for (const ViewOrder& face : CubeFaces(128))
    faces.push_back(
        RenderView(source, {PanoramaAngle(source, face.Heading), face.Pitch, 90}, 128, 128).Pixels);
  enum { Front, Right, Back, Left, Up, Down };
  // Edge pixels of neighbouring faces look at almost the same direction.
  for (int i = 0; i < 128; ++i) {
    EXPECT_LE(Difference(faces[Front].At(127, i), faces[Right].At(0, i)), 6) << i;
    EXPECT_LE(Difference(faces[Left].At(127, i), faces[Front].At(0, i)), 6) << i;
    EXPECT_LE(Difference(faces[Back].At(127, i), faces[Left].At(0, i)), 6) << i;
    EXPECT_LE(Difference(faces[Front].At(i, 0), faces[Up].At(i, 127)), 6) << i;
    EXPECT_LE(Difference(faces[Front].At(i, 127), faces[Down].At(i, 0)), 6) << i;
  }
}

TEST_F(ViewRenderTest, MissingTiles_GreyAndCounted) {
  const std::string task = SphereTask();
  std::remove((folder_.Path() + "sphere/gv_3_1_3.jpg").c_str());
  WriteFileBytes(folder_.Path() + "sphere/gv_3_2_3.jpg", "not a jpeg");
  const MadeView view = RenderView(OpenViewSource(task), {180, 0, 60}, 256, 192);
  EXPECT_EQ(view.MissingTiles, 2);
  EXPECT_EQ(view.Pixels.At(128, 96)[0], view.Pixels.At(128, 96)[1]);  // grey in the middle
}

// A task file is outside input: a panorama too big to decode is refused before any tile is read.
TEST_F(ViewRenderTest, HugeTask_RefusedBeforeDecoding) {
  const std::string task = folder_.Path() + "huge.krvn";
  WriteFileBytes(task,
                 "[MapsType]\r\nMapsType=33\r\n[Zoom]\r\nZoom=5\r\n[XY]\r\nMinX=0\r\nMinY=0\r\n"
                 "MaxX=127\r\nMaxY=63\r\n[Image]\r\nWidth=65536\r\nHeight=32768\r\n");
  try {
    OpenViewSource(task);
    ADD_FAILURE() << "opened";
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message().rfind("The picture is too big to show: 65536 x 32768 pixels", 0), 0u)
        << error.Message();
  }
}

TEST(DecodeJpegRows, SameRowsAsTheWholeDecode) {
  const std::string bytes = standin::EncodeJpeg(test::SpherePanorama(640, 320), 90);
  for (const int denominator : {1, 4}) {
    const RgbBuffer whole = viewer::DecodeJpeg(bytes, denominator);
    const RgbBuffer band = viewer::DecodeJpegRows(bytes, denominator, 17, 30);
    ASSERT_EQ(band.Width, whole.Width);
    ASSERT_EQ(band.Height, 30);
    for (int y = 0; y < 30; ++y)
      EXPECT_EQ(0, std::memcmp(band.Row(y), whole.Row(17 + y), band.RowBytes())) << y;
    EXPECT_EQ(viewer::DecodeJpegRows(bytes, denominator, whole.Height - 5, 100).Height, 5);
  }
}

}  // namespace
}  // namespace korvane
