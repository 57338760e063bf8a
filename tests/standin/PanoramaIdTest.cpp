#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "PanoramaId.h"
#include "StandinLimits.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

constexpr double MetresPerDegree = 111'320.0;

std::string IdAt(double latitude, double longitude) {
  const auto cell = CellOf(latitude, longitude);
  return cell ? PanoIdOf(*cell) : std::string();
}

TEST(PanoramaId, IdsAre22LettersDigitsDashesAndUnderscores) {
  for (const double latitude : {-79.9, -33.8688, 0.0, 40.712776, 48.8584, 79.99}) {
    for (const double longitude : {-180.0, -73.935242, 0.0, 2.2945, 151.2093, 180.0}) {
      const std::string id = IdAt(latitude, longitude);
      ASSERT_EQ(id.size(), 22u) << latitude << "," << longitude;
      EXPECT_EQ(
          id.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
          std::string::npos)
          << id;
    }
  }
}

TEST(PanoramaId, PointsOfOneCellShareTheirPanoramaAndOthersDoNot) {
  const auto cell = CellOf(48.8584, 2.2945);
  ASSERT_TRUE(cell);
  const double latitude = CellCentreLatitude(*cell);
  const double longitude = CellCentreLongitude(*cell);
  const double metreLat = 1.0 / MetresPerDegree;
  const double metreLon = metreLat / std::cos(latitude * 3.14159265358979 / 180.0);
  const std::string centre = IdAt(latitude, longitude);
  // Within about 20 m of the centre: the same panorama, as the real service gives the nearest.
  EXPECT_EQ(IdAt(latitude + 20 * metreLat, longitude), centre);
  EXPECT_EQ(IdAt(latitude, longitude - 20 * metreLon), centre);
  EXPECT_EQ(IdAt(latitude - 15 * metreLat, longitude + 15 * metreLon), centre);
  // 100 m away in any direction: another panorama.
  std::set<std::string> ids = {centre};
  ids.insert(IdAt(latitude + 100 * metreLat, longitude));
  ids.insert(IdAt(latitude - 100 * metreLat, longitude));
  ids.insert(IdAt(latitude, longitude + 100 * metreLon));
  ids.insert(IdAt(latitude, longitude - 100 * metreLon));
  EXPECT_EQ(ids.size(), 5u);
}

TEST(PanoramaId, CellsStayAbout50MetresWideTowardsThePoles) {
  for (const double latitude : {0.0, 45.0, 70.0, 79.5}) {
    const auto cell = CellOf(latitude, 10.0);
    ASSERT_TRUE(cell);
    const PanoramaCell east{cell->LatIndex, cell->LonIndex + 1};
    const double widthDegrees = CellCentreLongitude(east) - CellCentreLongitude(*cell);
    const double widthMetres = widthDegrees * MetresPerDegree *
                               std::cos(CellCentreLatitude(*cell) * 3.14159265358979 / 180.0);
    EXPECT_NEAR(widthMetres, SnapMetres, 0.5) << latitude;
  }
}

TEST(PanoramaId, NoCoverageBeyond80DegreesOrOffTheGlobe) {
  EXPECT_TRUE(CellOf(80.0, 0.0));
  EXPECT_TRUE(CellOf(-80.0, 0.0));
  EXPECT_FALSE(CellOf(80.0001, 0.0));
  EXPECT_FALSE(CellOf(-85.0, 10.0));
  EXPECT_FALSE(CellOf(10.0, 180.5));
  EXPECT_FALSE(CellOf(NAN, 0.0));
  EXPECT_FALSE(CellOf(0.0, INFINITY));
}

TEST(PanoramaId, IdsLeadBackToTheirCellAndForeignIdsAreRefused) {
  for (const double latitude : {-79.9, -0.0001, 0.0, 51.5, 79.9}) {
    for (const double longitude : {-179.99, -0.0001, 0.0, 139.69}) {
      const auto cell = CellOf(latitude, longitude);
      ASSERT_TRUE(cell);
      EXPECT_EQ(CellOfPanoId(PanoIdOf(*cell)), cell);
    }
  }
  std::string id = PanoIdOf(*CellOf(40.7128, -74.006));
  EXPECT_FALSE(CellOfPanoId(id.substr(0, 21)));
  EXPECT_FALSE(CellOfPanoId(id + "A"));
  EXPECT_FALSE(CellOfPanoId(std::string(22, 'A')));
  EXPECT_FALSE(CellOfPanoId("abcdefghijklmnopqrst!!"));
  // Any single changed character breaks the check.
  for (std::size_t i = 0; i < id.size(); ++i) {
    std::string changed = id;
    changed[i] = changed[i] == 'x' ? 'y' : 'x';
    EXPECT_FALSE(CellOfPanoId(changed)) << i;
  }
}

}  // namespace
}  // namespace korvane::test
