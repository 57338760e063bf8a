#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>

#include "JpegDecode.h"
#include "PanoramaId.h"
#include "ServiceAnswers.h"
#include "StreetNetwork.h"
#include "TileCache.h"
#include "lookup/CurrentLookupAnswer.h"
#include "lookup/GeoMetric.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

constexpr const char* Callback = "_xdc_._v2mub5";

const StreetNetwork& Town() {
  return StreetNetwork::Town();
}

std::string Text(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8f", value);
  return text;
}

// The lookup the program sends, with its radius ("!2d") when given.
std::string LookupTarget(GeoPoint point, std::optional<std::string> radius) {
  return "/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!1m5!1sapiv3!5sUS!11m2!1m1!1b0!2m4"
         "!1m2!3d" +
         Text(point.Latitude) + "!4d" + Text(point.Longitude) +
         (radius ? "!2d" + *radius : std::string()) +
         "!3m10!2m2!1sen!2sGB!9m1!1e2&callback=" + Callback;
}

std::string ByIdTarget(const std::string& panoId) {
  return "/maps/photometa/v1?authuser=0&hl=en&gl=us&pb=!1m4!1smaps_sv.tactile!11m2!2m1!1b1!2m2"
         "!1sen!2sus!3m3!1m2!1e2!2s" +
         panoId + "!4m6!1e1!1e2!1e3!1e4!1e8!1e6";
}

std::string TileTarget(const std::string& panoId, int x, int y, int zoom) {
  return "/v1/tile?cb_client=maps_sv.tactile&panoid=" + panoId + "&x=" + std::to_string(x) +
         "&y=" + std::to_string(y) + "&zoom=" + std::to_string(zoom);
}

// What the service with the town answers to a request target.
std::string BodyOf(StandinService& service, const std::string& target) {
  return *service.Answer(ClassifyRequest("GET", target)).Body;
}

// The program's record of a lookup answer, checked against the town's own record of the
// capture: every part the walks use survives the message.
void ExpectSameAsTheTowns(const CurrentLookupAnswer& answer, const PanoramaRecord& expected) {
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  const PanoramaRecord& record = answer.Record;
  EXPECT_EQ(record.PanoId, expected.PanoId);
  EXPECT_NEAR(*record.Latitude, *expected.Latitude, 1e-9);
  EXPECT_NEAR(*record.Longitude, *expected.Longitude, 1e-9);
  EXPECT_NEAR(*record.Heading, *expected.Heading, 1e-9);
  EXPECT_EQ(record.Date, expected.Date);
  ASSERT_EQ(record.Links.size(), expected.Links.size());
  for (std::size_t i = 0; i < expected.Links.size(); ++i) {
    EXPECT_EQ(record.Links[i].PanoId, expected.Links[i].PanoId);
    EXPECT_NEAR(*record.Links[i].Bearing, *expected.Links[i].Bearing, 1e-9);
  }
  EXPECT_EQ(record.OtherDates, expected.OtherDates);
}

TEST(TownAnswers, LookupAnswersTheNearestPlaceWithinTheRequestsRadius) {
  TileCache tiles;
  StandinService service(tiles, &Town());
  const PanoramaRecord& deadEndStart = *Town().Nearest(StreetNetwork::At(100, 10), 1);
  const struct {
    GeoPoint Point;
    std::optional<std::string> Radius;
    const PanoramaRecord* Expected;
  } cases[] = {
      {StreetNetwork::At(100, 10), "5", &deadEndStart},
      {StreetNetwork::At(103, 10), "5", &deadEndStart},  // 3 m off
      {StreetNetwork::At(130, 10), "5", nullptr},        // 10 m from the main street
      {StreetNetwork::At(130, 10), "15", Town().Nearest(StreetNetwork::At(130, 0), 1)},
      {StreetNetwork::At(305, 200), "20", nullptr},  // in the second street's gap
      // Without a radius, the service's own 50 m.
      {StreetNetwork::At(100, -55), std::nullopt, nullptr},
      {StreetNetwork::At(100, -45), std::nullopt, Town().Nearest(StreetNetwork::At(100, 0), 1)},
  };
  for (const auto& c : cases) {
    const CurrentLookupAnswer answer =
        ParseCurrentLookupAnswer(BodyOf(service, LookupTarget(c.Point, c.Radius)));
    if (!c.Expected) {
      EXPECT_EQ(answer.Kind, LookupAnswerKind::NoPanorama) << c.Radius.value_or("none");
      continue;
    }
    ExpectSameAsTheTowns(answer, *c.Expected);
  }
}

TEST(TownAnswers, LinksLeadBothWaysAndOlderCapturesAnswerById) {
  TileCache tiles;
  StandinService service(tiles, &Town());
  const PanoramaRecord& junction = *Town().Nearest(StreetNetwork::At(200, 0), 1);
  ASSERT_EQ(junction.Links.size(), 4u);  // a crossing
  for (const PanoramaLink& link : junction.Links) {
    const CurrentLookupAnswer next =
        ParsePanoramaByIdAnswer(BodyOf(service, ByIdTarget(link.PanoId)));
    ExpectSameAsTheTowns(next, *Town().ById(link.PanoId));
    bool linksBack = false;
    for (const PanoramaLink& back : next.Record.Links)
      if (back.PanoId == junction.PanoId) {
        linksBack = true;
        EXPECT_NEAR(std::fmod(*back.Bearing + 180, 360), *link.Bearing, 1e-6);
      }
    EXPECT_TRUE(linksBack) << link.PanoId;
  }
  for (const OtherCapture& older : junction.OtherDates)
    ExpectSameAsTheTowns(ParsePanoramaByIdAnswer(BodyOf(service, ByIdTarget(older.PanoId))),
                         *Town().ById(older.PanoId));
  // The cells' ids still answer by id; a text that is neither is no panorama.
  const std::string cellId = PanoIdOf(*CellOf(48.8584, 2.2945));
  EXPECT_EQ(ParsePanoramaByIdAnswer(BodyOf(service, ByIdTarget(cellId))).PanoId, cellId);
  EXPECT_EQ(ParsePanoramaByIdAnswer(BodyOf(service, ByIdTarget("town99999d0"))).Kind,
            LookupAnswerKind::NoPanorama);
}

TEST(TownAnswers, TheTownsTilesArePaintedOnlyWhenTheServiceHasTheTown) {
  TileCache tiles;
  StandinService withTown(tiles, &Town());
  StandinService cellsOnly(tiles);
  const std::string id = Town().Places().front()->PanoId;
  const DecodedJpeg tile = DecodeJpeg(BodyOf(withTown, TileTarget(id, 1, 0, 1)));
  EXPECT_EQ(tile.Components, 3);  // a painted tile; the placeholder is grayscale
  EXPECT_EQ(BodyOf(withTown, TileTarget(id, 2, 0, 1)), *tiles.BlackTile());  // outside the grid
  EXPECT_EQ(BodyOf(cellsOnly, TileTarget(id, 1, 0, 1)), *tiles.BlackTile());
  // Without the town, a lookup in it answers the cell's panorama as always.
  const GeoPoint inTown = StreetNetwork::At(100, 10);
  EXPECT_EQ(BodyOf(cellsOnly, LookupTarget(inTown, "5")),
            LookupAnswer(Callback, inTown.Latitude, inTown.Longitude));
}

TEST(TownAnswers, TheLookupsRadiusIsReadAndChecked) {
  const GeoPoint point = StreetNetwork::At(0, 0);
  EXPECT_DOUBLE_EQ(ClassifyRequest("GET", LookupTarget(point, "30")).RadiusMetres, 30);
  EXPECT_DOUBLE_EQ(ClassifyRequest("GET", LookupTarget(point, "7.5")).RadiusMetres, 7.5);
  EXPECT_DOUBLE_EQ(ClassifyRequest("GET", LookupTarget(point, std::nullopt)).RadiusMetres,
                   DefaultLookupRadiusMetres);
  for (const char* bad : {"-1", "x", "", "inf"})
    EXPECT_FALSE(ClassifyRequest("GET", LookupTarget(point, bad)).Valid()) << bad;
}

}  // namespace
}  // namespace korvane::test
