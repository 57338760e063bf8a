#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FaultPlan.h"
#include "FaultReply.h"
#include "JpegDecode.h"
#include "PanoramaId.h"
#include "PanoramaSizes.h"
#include "ServiceAnswers.h"
#include "TileCache.h"
#include "lookup/CurrentLookupAnswer.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

constexpr const char* Callback = "_xdc_._v2mub5";

std::string LookupTarget(const std::string& latitude, const std::string& longitude) {
  return "/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!1m5!1sapiv3!5sUS!11m2!1m1!1b0!2m4!1m2"
         "!3d" +
         latitude + "!4d" + longitude +
         "!2d50!3m10!2m2!1sen!2sGB!9m1!1e2!11m4!1m3!1e2!2b1!3e2!4m10!1e1!1e2!1e3!1e4!1e8!1e6!5m1!"
         "1e2!6m1!1e2&callback=" +
         Callback;
}

std::string CurrentTileTarget(const std::string& id, int x, int y, int zoom) {
  return "/v1/tile?cb_client=maps_sv.tactile&panoid=" + id + "&x=" + std::to_string(x) +
         "&y=" + std::to_string(y) + "&zoom=" + std::to_string(zoom);
}

std::pair<double, double> PointOf(PanoramaSize kind) {
  const auto point = PointOfSize(kind, 48.8584, 2.2945);
  EXPECT_TRUE(point);
  return point.value_or(std::make_pair(0.0, 0.0));
}

TEST(CurrentProtocol, ReadsLookupAndTileRequests) {
  ServiceRequest request = ClassifyRequest("GET", LookupTarget("48.8584", "-2.5E-5"));
  ASSERT_TRUE(request.Valid()) << request.Problem;
  EXPECT_EQ(request.Kind, RequestKind::Lookup);
  EXPECT_DOUBLE_EQ(request.Latitude, 48.8584);
  EXPECT_DOUBLE_EQ(request.Longitude, -2.5e-5);
  EXPECT_EQ(request.Callback, Callback);

  request = ClassifyRequest("GET", "http://127.0.0.1:9" + CurrentTileTarget("P-Q", 7, 3, 4));
  ASSERT_TRUE(request.Valid()) << request.Problem;
  EXPECT_EQ(request.Kind, RequestKind::Tile);
  EXPECT_EQ(request.Protocol, TileProtocol::Current);
  EXPECT_EQ(request.PanoId, "P-Q");
  EXPECT_EQ(request.X, 7);
  EXPECT_EQ(request.Y, 3);
  EXPECT_EQ(request.Zoom, 4);
  EXPECT_EQ(ClassifyRequest("GET", "/cbk?output=tile&panoid=P&x=0&y=0&zoom=1").Protocol,
            TileProtocol::Classic);

  for (const std::string& bad :
       {LookupTarget("91", "2"), LookupTarget("x", "2"),
        std::string("/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!3d1!4d2"),
        std::string("/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!3d1&callback=a"),
        std::string("/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!3d1!4d2&callback=a(b"),
        std::string("/v1/tile?panoid=P&x=1&y=1"),
        std::string("/v1/tiles?panoid=P&x=1&y=1&zoom=1")}) {
    EXPECT_FALSE(ClassifyRequest("GET", bad).Valid()) << bad;
  }
}

TEST(CurrentProtocol, LookupAnswersEveryKindAsTheProgramReadsIt) {
  const struct {
    PanoramaSize Kind;
    int HighestZoom;
    PixelSize AtHighest;
  } kinds[] = {{PanoramaSize::Large, 5, {16384, 8192}},
               {PanoramaSize::Medium, 5, {13312, 6656}},
               {PanoramaSize::Small, 3, {3328, 1664}}};
  for (const auto& kind : kinds) {
    const auto [latitude, longitude] = PointOf(kind.Kind);
    const CurrentLookupAnswer answer =
        ParseCurrentLookupAnswer(LookupAnswer(Callback, latitude, longitude));
    ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
    EXPECT_EQ(answer.PanoId, PanoIdOf(*CellOf(latitude, longitude)));
    EXPECT_EQ(answer.HighestZoom(), kind.HighestZoom);
    EXPECT_EQ(answer.Sizes.back(), kind.AtHighest);
    EXPECT_EQ(answer.Sizes[0].Width, kind.AtHighest.Width >> kind.HighestZoom);
    EXPECT_EQ(answer.TileSize, (PixelSize{512, 512}));
    EXPECT_EQ(answer.CaptureDate.size(), 7u);
    EXPECT_NEAR(*answer.Latitude, latitude, 1e-9);
    EXPECT_NEAR(*answer.Longitude, longitude, 1e-9);
  }
  const std::string none = LookupAnswer(Callback, 85, 0);
  // The real service's form, with "generic" before the text.
  EXPECT_EQ(
      none,
      "/**/_xdc_._v2mub5 && _xdc_._v2mub5( [[5,\"generic\",\"Search returned no images.\"]] )");
  EXPECT_EQ(ParseCurrentLookupAnswer(none).Kind, LookupAnswerKind::NoPanorama);
}

TEST(CurrentProtocol, TilesInsideTheKindsGridBlackOutside) {
  TileCache cache;
  const auto [latitude, longitude] = PointOf(PanoramaSize::Small);
  const std::string id = PanoIdOf(*CellOf(latitude, longitude));
  // 3328 x 1664 at zoom 3: 7 x 4 tiles, the last column 256 pixels wide; no zoom 4.
  const DecodedJpeg last = DecodeJpeg(*cache.CurrentTile(id, 6, 3, 3));
  ASSERT_TRUE(last.Ok);
  EXPECT_EQ(last.Width, 512);
  EXPECT_GT(last.At(100, 100, 0) + last.At(100, 100, 1) + last.At(100, 100, 2), 30);
  EXPECT_LT(last.At(400, 100, 0) + last.At(400, 100, 1) + last.At(400, 100, 2), 30);
  const auto black = cache.BlackTile();
  EXPECT_EQ(cache.CurrentTile(id, 7, 0, 3), black);
  EXPECT_EQ(cache.CurrentTile(id, 0, 4, 3), black);
  EXPECT_EQ(cache.CurrentTile(id, 0, 0, 4), black);
  EXPECT_EQ(cache.CurrentTile("NotAnIdOfThisService", 0, 0, 1), black);
  EXPECT_NE(cache.CurrentTile(id, 0, 0, 0), black);

  const auto [largeLat, largeLon] = PointOf(PanoramaSize::Large);
  const std::string large = PanoIdOf(*CellOf(largeLat, largeLon));
  EXPECT_NE(cache.CurrentTile(large, 31, 15, 5), black);
  EXPECT_EQ(cache.CurrentTile(large, 32, 0, 5), black);
  // The classic tiles keep their fixed grid whatever the kind.
  EXPECT_EQ(cache.Tile(large, 26, 0, 5), black);
  EXPECT_NE(cache.Tile(large, 25, 12, 5), black);

  // The real placeholder's form: grayscale, all black, 512 x 512, 1184 bytes.
  EXPECT_EQ(black->size(), 1184u);
  const DecodedJpeg placeholder = DecodeJpeg(*black);
  ASSERT_TRUE(placeholder.Ok);
  EXPECT_EQ(placeholder.Components, 1);
  EXPECT_EQ(placeholder.Width, 512);
  EXPECT_EQ(placeholder.Height, 512);
  EXPECT_EQ(*std::max_element(placeholder.Pixels.begin(), placeholder.Pixels.end()), 0);
}

TEST(CurrentProtocol, FaultPlansTakeLookupRules) {
  const FaultPlan plan = FaultPlan::Parse(
      "lookup ll=48.8584,2.2945 first 2 status 429\n"
      "lookup every nocoverage\n"
      "tile zoom=3 every reset\n");
  const ServiceRequest lookup = ClassifyRequest("GET", LookupTarget("48.8584", "2.2945"));
  EXPECT_EQ(plan.Match(lookup, 1).Describe(), "status 429");
  EXPECT_EQ(plan.Match(lookup, 3).Kind, FaultKind::NoCoverage);
  const ServiceRequest metadata = ClassifyRequest("GET", "/cbk?output=xml&ll=48.8584,2.2945");
  EXPECT_EQ(plan.Match(metadata, 1).Kind, FaultKind::Ok);
  EXPECT_EQ(plan.Match(ClassifyRequest("GET", CurrentTileTarget("P", 0, 0, 3)), 1).Kind,
            FaultKind::Reset);

  const Reply none = ShapeReply(plan.Match(lookup, 3), Reply(), lookup);
  EXPECT_EQ(none.Status, 200);
  EXPECT_EQ(ParseCurrentLookupAnswer(*none.Body).Status, 5);
  EXPECT_THROW(FaultPlan::Parse("lookup x=1 every ok\n"), EPlanError);
}

}  // namespace
}  // namespace korvane::test
