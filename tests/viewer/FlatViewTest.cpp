#include <gtest/gtest.h>

#include "viewer/FlatView.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

TEST(FlatView, FitCentresTheWholePicture) {
  const FlatViewport view = FitViewport(2000, 1000, 800, 600);
  EXPECT_DOUBLE_EQ(view.Scale, 0.4);
  EXPECT_DOUBLE_EQ(view.Left, 0.0);
  EXPECT_DOUBLE_EQ(view.Top, -250.0);  // 100 frame pixels of border above
}

TEST(FlatView, ZoomKeepsThePointUnderTheCursor) {
  const FlatViewport view{0.5, 100.0, 40.0};
  const FlatViewport zoomed = ZoomedAround(view, 3.0, 200.0, 120.0);
  EXPECT_DOUBLE_EQ(zoomed.Scale, 1.5);
  EXPECT_DOUBLE_EQ(zoomed.Left + 200.0 / zoomed.Scale, view.Left + 200.0 / view.Scale);
  EXPECT_DOUBLE_EQ(zoomed.Top + 120.0 / zoomed.Scale, view.Top + 120.0 / view.Scale);
  EXPECT_DOUBLE_EQ(OneToOne(view, 10, 10).Scale, 1.0);
  EXPECT_DOUBLE_EQ(ZoomedAround(view, 1e9, 0, 0).Scale, MaxFlatScale);
  const FlatViewport panned = Panned(view, 50.0, -10.0);
  EXPECT_DOUBLE_EQ(panned.Left, 0.0);
  EXPECT_DOUBLE_EQ(panned.Top, 60.0);
}

TEST(FlatView, RendersFromTheLevelOfItsScaleWithGreyAround) {
  RgbBuffer base(1024, 512);
  for (int y = 0; y < base.Height; ++y) {
    for (int x = 0; x < base.Width; ++x)
      base.Row(y)[x * 3] = static_cast<std::uint8_t>(x < 512 ? 60 : 220);
  }
  const Pyramid pyramid = Pyramid::FromLevel(1024, 512, 0, std::move(base));
  EXPECT_EQ(FlatLevel(pyramid, 1.0), 0);
  EXPECT_EQ(FlatLevel(pyramid, 0.3), 1);
  EXPECT_EQ(FlatLevel(pyramid, 0.01), pyramid.LevelCount() - 1);
  RgbBuffer frame(300, 200);
  RenderFlat(pyramid, FitViewport(1024, 512, 300, 200), frame);
  EXPECT_EQ(frame.At(10, 100)[0], 60);
  EXPECT_EQ(frame.At(290, 100)[0], 220);
  EXPECT_EQ(frame.At(150, 5)[0], OutsideGrey);    // above the picture
  RenderFlat(pyramid, {1.0, 500.0, 0.0}, frame);  // 1:1 across the middle
  EXPECT_EQ(frame.At(11, 0)[0], 60);
  EXPECT_EQ(frame.At(12, 0)[0], 220);
}

}  // namespace
}  // namespace korvane::viewer
