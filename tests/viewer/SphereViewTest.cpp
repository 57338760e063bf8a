#include <gtest/gtest.h>

#include <cmath>

#include "PanoramaPainter.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "viewer/FastAtan.h"
#include "viewer/SphereView.h"
#include "viewer/StitchedPicture.h"
#include "viewer/TestPanoramas.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

constexpr int Zoom = 3;

class SphereViewTest : public ::testing::Test {
 protected:
  SphereViewTest() {
    WriteFileBytes(folder.Path() + "pano.jpg", test::StandinPanoramaJpeg(Zoom));
    picture = OpenStitchedPicture(folder.Path() + "pano.jpg");
  }

  // The heading of the middle of the stand-in's heading mark k.
  static double MarkHeading(int k) {
    const standin::PanoramaPainter painter("any", Zoom);
    const standin::PixelBox mark = painter.HeadingMark(k);
    return (mark.Left + mark.Width / 2.0) / painter.Width() * 360.0;
  }

  const std::uint8_t* Middle(const ViewAngles& angles) {
    RenderSphere(picture.Picture, picture.Placement, angles, frame);
    return frame.At(frame.Width / 2, frame.Height / 2);
  }

  test::TempFolder folder;
  StitchedPicture picture;
  RgbBuffer frame{320, 180};
};

TEST_F(SphereViewTest, HeadingMarkStandsInTheMiddleAtItsHeading) {
  EXPECT_TRUE(test::IsMarkRed(Middle({MarkHeading(3), 0.0, 60.0})));   // heading 90
  EXPECT_TRUE(test::IsMarkRed(Middle({MarkHeading(7), 12.0, 45.0})));  // 210, looking up
  EXPECT_TRUE(test::IsMarkRed(Middle({MarkHeading(9) - 720.0, -15.0, 100.0})));
  // Beside the mark, above and below it: no red.
  EXPECT_FALSE(test::IsMarkRed(Middle({MarkHeading(3) + 4.0, 0.0, 60.0})));
  EXPECT_FALSE(test::IsMarkRed(Middle({MarkHeading(3), 30.0, 60.0})));
  EXPECT_FALSE(test::IsMarkRed(Middle({MarkHeading(3), -30.0, 60.0})));
}

TEST_F(SphereViewTest, SeamOfThePanoramaIsJoined) {
  // Mark 0 stands at the left edge; looking at heading 0 sees it whole across the seam.
  EXPECT_TRUE(test::IsMarkRed(Middle({MarkHeading(0), 0.0, 30.0})));
  for (int x = 0; x < frame.Width; ++x)
    EXPECT_NE(frame.At(x, frame.Height / 2)[0], OutsideGrey) << x;
  // Straight up and straight down are inside the picture too.
  EXPECT_NE(Middle({0.0, 90.0, 90.0})[2], OutsideGrey);
  EXPECT_NE(Middle({0.0, -90.0, 90.0})[2], OutsideGrey);
}

TEST(SphereView, CroppedPanoramaLeavesTheRestGrey) {
  // A band of 60 degrees around the horizon, 120 degrees wide, from heading 90.
  RgbBuffer band(400, 100);
  std::fill(band.Pixels.begin(), band.Pixels.end(), 200);
  const Pyramid pyramid = Pyramid::FromLevel(400, 100, 0, std::move(band));
  const PanoramaPlacement placement{1200, 600, 300, 250};
  RgbBuffer frame(64, 64);
  RenderSphere(pyramid, placement, {150.0, 0.0, 40.0}, frame);
  EXPECT_EQ(frame.At(32, 32)[0], 200);
  RenderSphere(pyramid, placement, {150.0, 60.0, 40.0}, frame);
  EXPECT_EQ(frame.At(32, 32)[0], OutsideGrey);
  RenderSphere(pyramid, placement, {300.0, 0.0, 40.0}, frame);
  EXPECT_EQ(frame.At(32, 32)[0], OutsideGrey);
  RenderSphere(pyramid, placement, {-170.0, 0.0, 40.0}, frame);  // heading 190: inside
  EXPECT_EQ(frame.At(32, 32)[0], 200);
}

TEST(SphereView, AnglesStayInTheirRangesWhileDragging) {
  const ViewAngles start{10.0, 0.0, 90.0};
  const ViewAngles right = Dragged(start, 100.0, 0.0, 1000);  // picture pulled right: turn left
  EXPECT_NEAR(right.Heading, 1.0, 1e-9);
  EXPECT_NEAR(Dragged(start, 200.0, 0.0, 1000).Heading, 352.0, 1e-9);
  EXPECT_NEAR(Dragged(start, 0.0, 100.0, 1000).Pitch, 9.0, 1e-9);
  EXPECT_EQ(Dragged(start, 0.0, 5000.0, 1000).Pitch, MaxPitch);
  EXPECT_EQ(Normalised({0.0, 0.0, 10.0}).FieldOfView, MinFieldOfView);
  EXPECT_EQ(Normalised({0.0, 0.0, 170.0}).FieldOfView, MaxFieldOfView);
  EXPECT_EQ(Normalised({NAN, NAN, NAN}).Heading, 0.0);
}

TEST(SphereView, LevelFollowsTheFieldOfView) {
  const Pyramid pyramid = Pyramid::FromLevel(8192, 4096, 1, RgbBuffer(4096, 2048));
  const PanoramaPlacement whole{8192, 4096, 0, 0};
  // 640 pixels over 90 degrees ask for 320 pixels per radian: 2048 / 2 pi = 326 is enough.
  EXPECT_EQ(SphereLevel(pyramid, whole, {0, 0, 90}, 640), 2);
  EXPECT_EQ(SphereLevel(pyramid, whole, {0, 0, 110}, 320), 3);
  // Narrow views want level 0, which is not decoded yet: the finest present serves.
  EXPECT_EQ(SphereLevel(pyramid, whole, {0, 0, 30}, 1280), 1);
}

TEST(SphereView, FastArcTangentIsExactToAThousandthOfAPixel) {
  double worst = 0.0;
  for (int i = -200; i <= 200; ++i) {
    for (int j = -200; j <= 200; ++j) {
      const double y = i * 0.37, x = j * 0.53;
      worst = std::max(worst, std::fabs(FastAtan2(y, x) - std::atan2(y, x)));
    }
  }
  EXPECT_LT(worst, 1e-7);
}

}  // namespace
}  // namespace korvane::viewer
