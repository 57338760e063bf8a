#include <gtest/gtest.h>

#include "views/ViewGeometry.h"

namespace korvane {
namespace {

constexpr int FullWidth = 3328;  // the classic panorama of zoom 3
constexpr int FullHeight = 1664;

TEST(ViewGeometry, FrameCentre_LooksAtTheHeadingAndPitch) {
  struct Case {
    double Heading, Pitch;
  };
  for (const Case& c :
       {Case{0, 0}, Case{90, 30}, Case{180, -45}, Case{359.5, 89}, Case{270, -89}}) {
    const PanoramaPoint at =
        LookAt({c.Heading, c.Pitch, 60}, 640, 480, 320, 240, FullWidth, FullHeight);
    EXPECT_NEAR(at.U, c.Heading / 360 * FullWidth, 1e-6) << c.Heading;
    EXPECT_NEAR(at.V, (90 - c.Pitch) / 180 * FullHeight, 1e-6) << c.Pitch;
  }
}

TEST(ViewGeometry, FrameEdges_HalfTheFieldOfViewAside) {
  // The left and right edges at pitch 0 lie half the field of view either side, wrapped.
  const PanoramaPoint left = LookAt({10, 0, 90}, 800, 600, 0, 300, FullWidth, FullHeight);
  const PanoramaPoint right = LookAt({10, 0, 90}, 800, 600, 800, 300, FullWidth, FullHeight);
  EXPECT_NEAR(left.U, (360 - 35) / 360.0 * FullWidth, 1e-6);
  EXPECT_NEAR(right.U, 55 / 360.0 * FullWidth, 1e-6);
}

TEST(ViewGeometry, HonestSize_CutToThePanoramasPixelsPerRadian) {
  struct Case {
    ViewSize Asked;
    double FieldOfView;
    int FullWidth;
    ViewSize Made;
  };
  const Case cases[] = {
      {{1024, 768}, 90, 13312, {1024, 768}},  // zoom 5 holds 2119 pixels per radian
      {{1024, 768}, 90, 3328, {1024, 768}},   // zoom 3: 529.7 against 512
      {{2048, 1536}, 90, 3328, {1059, 794}},  // 1024 needed
      {{1024, 768}, 90, 832, {264, 198}},     // zoom 1
      {{1000, 1000}, 10, 13312, {370, 370}},  // a narrow view needs many pixels per radian
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HonestViewSize(c.Asked, c.FieldOfView, c.FullWidth), c.Made)
        << c.Asked.Width << " at " << c.FieldOfView;
  }
}

TEST(ViewGeometry, Denominator_TheSmallestDecodeThatKeepsTheViewSharp) {
  struct Case {
    int Width;
    double FieldOfView;
    int FullWidth;
    int Denominator;
  };
  for (const Case& c :
       {Case{1024, 90, 13312, 4}, Case{2048, 90, 13312, 2}, Case{4096, 90, 13312, 1},
        Case{256, 90, 13312, 8}, Case{8192, 90, 13312, 1}, Case{512, 30, 3328, 1}}) {
    EXPECT_EQ(ViewDenominator(c.FieldOfView, c.Width, c.FullWidth), c.Denominator)
        << c.Width << " at " << c.FieldOfView;
  }
}

// Cells of 512 pixels over the zoom-3 panorama: 7 columns, 4 rows.
std::vector<bool> Cells(double heading, double pitch, double fov) {
  return NeededCells({heading, pitch, fov}, 640, 480, FullWidth, FullHeight, 512, 2);
}
bool Needed(const std::vector<bool>& cells, int column, int row) {
  return cells[static_cast<std::size_t>(row) * 7 + column];
}

TEST(ViewGeometry, NeededCells_OnlyWhatTheViewSees) {
  const auto cells = Cells(180, 0, 60);  // angles 150 to 210, columns 1387..1941: cells 2 and 3
  for (int column = 0; column < 7; ++column) {
    EXPECT_EQ(Needed(cells, column, 1), column == 2 || column == 3) << column;
    EXPECT_FALSE(Needed(cells, column, 0)) << "sky above 45 degrees, column " << column;
  }
}

TEST(ViewGeometry, NeededCells_AcrossTheEdgeBothEnds) {
  const auto cells = Cells(0, 0, 60);
  EXPECT_TRUE(Needed(cells, 0, 1));
  EXPECT_TRUE(Needed(cells, 6, 1));  // the last, cut column
  EXPECT_FALSE(Needed(cells, 3, 1));
}

TEST(ViewGeometry, NeededCells_APoleInViewNeedsItsWholeRow) {
  for (const double pitch : {90.0, 80.0}) {
    const auto cells = Cells(45, pitch, 60);
    for (int column = 0; column < 7; ++column)
      EXPECT_TRUE(Needed(cells, column, 0)) << pitch << " column " << column;
    EXPECT_FALSE(Needed(cells, 0, 3));
  }
  const auto down = Cells(300, -90, 60);
  for (int column = 0; column < 7; ++column)
    EXPECT_TRUE(Needed(down, column, 3)) << column;
}

}  // namespace
}  // namespace korvane
