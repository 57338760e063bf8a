#include <gtest/gtest.h>

#include <cmath>

#include "lookup/GeoMetric.h"

namespace korvane {
namespace {

// Geodesic distances on the WGS84 ellipsoid by Vincenty's inverse formula (good to a millimetre).
struct Geodesic {
  GeoPoint From;
  GeoPoint To;
  double Metres;
};

TEST(DistanceMetres, IsWithinAMetreOfTheEllipsoidsGeodesicAtAFewKilometres) {
  const Geodesic cases[] = {
      {{0, 0}, {0.01, 0}, 1105.7428},             // a meridian at the equator
      {{0, 0}, {0, 0.01}, 1113.1949},             // the equator
      {{47.37, 8.54}, {47.37, 8.60}, 4531.7614},  // a parallel in the middle latitudes
      {{47.37, 8.54}, {47.40, 8.58}, 4499.6533},  // a diagonal
      {{47.37, 8.54}, {47.42, 8.62}, 8208.3573},  // as wide as a town
      {{60, 10}, {60.02, 10.03}, 2786.6968},      // further north
      {{-33.9, 151.2}, {-33.93, 151.22}, 3807.0813},
  };
  for (const Geodesic& geodesic : cases) {
    EXPECT_NEAR(DistanceMetres(geodesic.From, geodesic.To), geodesic.Metres, 1.0);
    EXPECT_NEAR(DistanceMetres(geodesic.To, geodesic.From), geodesic.Metres, 1.0);
  }
  EXPECT_NEAR(DistanceMetres({0, 179.999}, {0, -179.999}), 222.639, 0.01)
      << "across the antimeridian";
}

TEST(DistanceMetres, StaysWithinAFewMetresAtTheWidestLookup) {
  // A lookup checks its answer against radii up to 100 km; a sphere would be off by hundreds
  // of metres there.
  const Geodesic cases[] = {
      {{47.37, 8.54}, {47.37, 9.86}, 99697.559},   // along a parallel
      {{47.37, 8.54}, {48.27, 8.54}, 100068.136},  // along a meridian
      {{47.37, 8.54}, {48.0, 9.5}, 100503.714},
      {{60, 10}, {60.5, 11.5}, 100014.545},
      {{0, 0}, {0, 0.9}, 100187.542},
      {{-33.9, 151.2}, {-34.5, 151.9}, 92693.234},
  };
  for (const Geodesic& geodesic : cases)
    EXPECT_NEAR(DistanceMetres(geodesic.From, geodesic.To), geodesic.Metres, 5.0);
}

TEST(LocalFrame, RoundTripsPointsAndMetres) {
  const LocalFrame frame({47.37, 8.54});
  const GeoPoint point{47.371, 8.5432};
  const LocalFrame::Metres metres = frame.ToMetres(point);
  const GeoPoint back = frame.ToPoint(metres);
  EXPECT_NEAR(back.Latitude, point.Latitude, 1e-12);
  EXPECT_NEAR(back.Longitude, point.Longitude, 1e-12);
  EXPECT_GT(metres.East, 0);
  EXPECT_GT(metres.North, 0);
}

TEST(IsOnGlobe, TakesTheRangesWithTheirEnds) {
  EXPECT_TRUE(IsOnGlobe(90, -180));
  EXPECT_FALSE(IsOnGlobe(90.0001, 0));
  EXPECT_FALSE(IsOnGlobe(0, 180.5));
  EXPECT_FALSE(IsOnGlobe(std::nan(""), 0));
}

}  // namespace
}  // namespace korvane
