#include <gtest/gtest.h>

#include <cmath>

#include "NetworkFinder.h"
#include "discover/TownPlaces.h"
#include "discover/Walks.h"

namespace korvane {
namespace {

using standin::NetworkFinder;
using standin::StreetNetwork;
using test::IdsOf;
using test::TownPlacesWhere;

GeoArea Rectangle(double west, double south, double east, double north) {
  GeoRing ring;
  for (auto [e, n] :
       {std::pair{west, south}, {east, south}, {east, north}, {west, north}, {west, south}})
    ring.push_back(StreetNetwork::At(e, n));
  return {{ring, {}}};
}

bool InRectangle(double e, double n, double west, double south, double east, double north) {
  return e >= west && e <= east && n >= south && n <= north;
}

TEST(FindAround, KeepsEveryLinkedPanoramaWithinTheRadiusOnce) {
  NetworkFinder finder;
  const FoundPanoramas found = FindAround(finder, StreetNetwork::At(100, 0), 35, 1000);
  // The main street 70..130 m and the dead end's first 30 m meet at (100, 0).
  EXPECT_EQ(IdsOf(found),
            TownPlacesWhere([](double e, double n) { return std::hypot(e - 100, n) <= 35; }));
  EXPECT_EQ(found.size(), 10u);
  EXPECT_EQ(IdsOf(found).size(), found.size()) << "no id twice";
  EXPECT_EQ(found.front().PanoId, finder.FindNearest(StreetNetwork::At(100, 0), 1).Record->PanoId)
      << "the walk starts at the nearest panorama";
}

TEST(FindAround, StopsAtMaxAndWalksOnlyWhatTheLinksReach) {
  NetworkFinder finder;
  EXPECT_EQ(FindAround(finder, StreetNetwork::At(100, 0), 35, 4).size(), 4u);
  // The lane meets no street: around its start only the lane is found, although the cross
  // street 40 m away is within the radius.
  const FoundPanoramas lane = FindAround(finder, StreetNetwork::At(240, 60), 45, 1000);
  EXPECT_EQ(IdsOf(lane), TownPlacesWhere([](double e, double n) {
              return e >= 250 && n >= 60 && n <= 100 && std::hypot(e - 240, n - 60) <= 45;
            }));
  // Nothing within the radius: nothing found.
  EXPECT_TRUE(FindAround(finder, StreetNetwork::At(50, 100), 20, 1000).empty());
}

TEST(FindInArea, FindsEveryPanoramaInsideAndNoneInItsHole) {
  NetworkFinder finder;
  GeoArea area = Rectangle(-25, -25, 425, 225);
  // A hole over the dead end.
  area[0].Holes.push_back(Rectangle(85, 25, 115, 135)[0].Outer);
  const FoundPanoramas found = FindInArea(finder, area, 50);
  // Both sides of the gap and the lane no street reaches are there: the seeds find them.
  EXPECT_EQ(IdsOf(found), TownPlacesWhere([](double e, double n) {
              return InRectangle(e, n, -25, -25, 425, 225) && !InRectangle(e, n, 85, 25, 115, 135);
            }));
  EXPECT_EQ(IdsOf(found).size(), found.size());
}

TEST(FindInArea, WalksEachPolygonOfAMultiPolygon) {
  NetworkFinder finder;
  GeoArea area = Rectangle(240, 50, 360, 110);
  area.push_back(Rectangle(375, -10, 420, 210)[0]);
  EXPECT_EQ(IdsOf(FindInArea(finder, area, 50)), TownPlacesWhere([](double e, double n) {
              return InRectangle(e, n, 240, 50, 360, 110) || InRectangle(e, n, 375, -10, 420, 210);
            }));
}

TEST(FindInArea, EverySpacingFindsEveryPanoramaInside) {
  // Seeds passed over as known empty must not cost a panorama, at any spacing that finds the
  // lane (beyond 100 m a seed near it answers a street instead).
  GeoArea area = Rectangle(-30, -130, 430, 330);
  area[0].Holes.push_back(Rectangle(85, 55, 115, 135)[0].Outer);
  const auto inside = TownPlacesWhere([](double e, double n) {
    return InRectangle(e, n, -30, -130, 430, 330) && !InRectangle(e, n, 85, 55, 115, 135);
  });
  for (const double spacing : {10.0, 25.0, 50.0, 75.0, 100.0}) {
    NetworkFinder finder;
    EXPECT_EQ(IdsOf(FindInArea(finder, area, spacing)), inside) << spacing;
  }
}

// The town's answers, counting the nearest lookups; with Fail, every one gives up.
class CountingFinder final : public PanoramaFinder {
 public:
  NearestPanorama FindNearest(GeoPoint point, double radiusMetres) override {
    ++Nearest;
    if (Fail) return {};
    return town_.FindNearest(point, radiusMetres);
  }
  std::optional<PanoramaRecord> FindById(const std::string& id) override {
    return town_.FindById(id);
  }
  bool Fail = false;
  std::size_t Nearest = 0;

 private:
  NetworkFinder town_;
};

TEST(FindInArea, ABlockShownEmptyCostsNoFurtherLookupsButAFailedLookupShowsNothing) {
  // North of the town, more than two spacings from its last panorama.
  const GeoArea empty = Rectangle(0, 420, 500, 700);
  const std::size_t seeds = SeedGrid(empty, 50).size();
  CountingFinder answering;
  EXPECT_TRUE(FindInArea(answering, empty, 50).empty());
  EXPECT_LT(answering.Nearest * 3, seeds) << "each lookup that answers none spares its neighbours";

  CountingFinder failing;
  failing.Fail = true;
  EXPECT_TRUE(FindInArea(failing, empty, 50).empty());
  EXPECT_EQ(failing.Nearest, seeds) << "a lookup that gave up tells nothing of the place";
}

TEST(FindInArea, SeedsLieInsideTheAreaAtTheSpacing) {
  const GeoArea area = Rectangle(0, 0, 200, 100);
  const std::vector<GeoPoint> seeds = SeedGrid(area, 50);
  EXPECT_EQ(seeds.size(), 8u);  // 4 x 2
  for (const GeoPoint& seed : seeds)
    EXPECT_TRUE(IsInside(area, seed));
  EXPECT_NEAR(DistanceMetres(seeds[0], seeds[1]), 50, 0.01);
}

TEST(FindAlongRoute, LooksUpEveryStepAndDropsDuplicates) {
  NetworkFinder finder;
  const GeoRoute main = {{StreetNetwork::At(0, 2), StreetNetwork::At(400, 2)}};
  const FoundPanoramas found = FindAlongRoute(finder, main, 10);
  EXPECT_EQ(IdsOf(found), TownPlacesWhere([](double, double n) { return std::abs(n) < 0.5; }));
  EXPECT_EQ(finder.Lookups(), 41);
  // A coarser step looks up less and, between panoramas 10 m apart, finds one every 20 m.
  NetworkFinder coarse;
  EXPECT_EQ(FindAlongRoute(coarse, main, 20).size(), 21u);
  // Two lines, each walked on its own, one through the gap of the second street.
  NetworkFinder two;
  const GeoRoute lines = {{StreetNetwork::At(0, 0), StreetNetwork::At(0, 200)},
                          {StreetNetwork::At(260, 200), StreetNetwork::At(350, 200)}};
  EXPECT_EQ(IdsOf(FindAlongRoute(two, lines, 10)), TownPlacesWhere([](double e, double n) {
              return (std::abs(e) < 0.5 && n > -1 && n < 201) ||
                     (std::abs(n - 200) < 0.5 && e > 255 && e < 355);
            }));
}

TEST(AddOtherDates, PutsEachPlacesOtherCapturesAfterIt) {
  NetworkFinder finder;
  const FoundPanoramas found = FindAround(finder, StreetNetwork::At(0, 0), 15, 100);
  ASSERT_EQ(found.size(), 3u);
  const FoundPanoramas dated = AddOtherDates(finder, found);
  ASSERT_EQ(dated.size(), 3u * StreetNetwork::NetworkDates);
  EXPECT_EQ(IdsOf(dated).size(), dated.size());
  for (std::size_t i = 0; i < dated.size(); i += StreetNetwork::NetworkDates) {
    const PanoramaRecord& place = dated[i];
    for (int d = 1; d < StreetNetwork::NetworkDates; ++d) {
      EXPECT_EQ(dated[i + d].PanoId, place.OtherDates[d - 1].PanoId);
      EXPECT_EQ(dated[i + d].Date, place.OtherDates[d - 1].Date);
      EXPECT_EQ(dated[i + d].Latitude, place.Latitude);
    }
  }
}

// A service whose answers are not all usable.
class HostileFinder final : public PanoramaFinder {
 public:
  NearestPanorama FindNearest(GeoPoint, double) override {
    return {Record("start", 0, 0, {"../../etc", "far", "nowhere", "start", "twin"}), true};
  }
  std::optional<PanoramaRecord> FindById(const std::string& id) override {
    ++byId;
    if (id == "far") return Record("far", 91, 0, {});
    if (id == "twin") return Record("twin", 0, 0.00001, {"start"});
    return std::nullopt;
  }
  int byId = 0;

 private:
  static PanoramaRecord Record(std::string id, double lat, double lon,
                               std::vector<std::string> links) {
    PanoramaRecord record;
    record.PanoId = std::move(id);
    record.Latitude = lat;
    record.Longitude = lon;
    for (std::string& link : links)
      record.Links.push_back({std::move(link), std::nullopt});
    return record;
  }
};

TEST(Walks, PassOverUnusableIdsAndPositionsAndAskNoIdTwice) {
  HostileFinder finder;
  const FoundPanoramas found = FindAround(finder, {0, 0}, 100, 100);
  EXPECT_EQ(IdsOf(found), (std::set<std::string>{"start", "twin"}));
  EXPECT_EQ(finder.byId, 3) << "far, nowhere and twin once each; never the bad id";
}

}  // namespace
}  // namespace korvane
