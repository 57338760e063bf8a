#include <gtest/gtest.h>

#include "viewer/Compass.h"

namespace korvane::viewer {
namespace {

TEST(Compass, PointsOfTheCompass) {
  const std::pair<double, const char*> cases[] = {
      {0, "N"},    {22.4, "N"}, {22.6, "NE"}, {90, "E"},    {135, "SE"}, {180, "S"},
      {225, "SW"}, {270, "W"},  {315, "NW"},  {337.6, "N"}, {-45, "NW"}, {720, "N"}};
  for (const auto& [heading, point] : cases)
    EXPECT_EQ(CompassPoint(heading), point) << heading;
}

// The panorama's middle (angle 180) looks the way its record says; without one, headings
// count from the middle.
TEST(Compass, AnglesAndHeadingsBothWays) {
  EXPECT_DOUBLE_EQ(AngleOfHeading(0, 120.0), 60.0);
  EXPECT_DOUBLE_EQ(HeadingOfAngle(60, 120.0), 0.0);
  EXPECT_DOUBLE_EQ(AngleOfHeading(300, 120.0), 0.0);
  EXPECT_DOUBLE_EQ(AngleOfHeading(0, std::nullopt), 180.0);
  EXPECT_DOUBLE_EQ(HeadingOfAngle(90, std::nullopt), 270.0);
  for (double heading = 0; heading < 360; heading += 17.5)
    EXPECT_NEAR(HeadingOfAngle(AngleOfHeading(heading, 301.5), 301.5), heading, 1e-9);
}

}  // namespace
}  // namespace korvane::viewer
