#include <gtest/gtest.h>

#include <string>

#include "MapTilesService.h"
#include "PanoramaId.h"
#include "PanoramaSizes.h"
#include "ServiceRequest.h"
#include "TileCache.h"
#include "lookup/MapTilesMetadata.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

TEST(StandinMapTiles, ApiKeyOptionsNameTheKeysState) {
  MapTilesSettings settings;
  EXPECT_TRUE(AddApiKey(settings, "K1"));
  EXPECT_TRUE(AddApiKey(settings, "K2:disabled"));
  EXPECT_TRUE(AddApiKey(settings, "K3:billing"));
  for (const char* bad : {"", ":disabled", "K4:other"})
    EXPECT_FALSE(AddApiKey(settings, bad)) << bad;
  EXPECT_EQ(settings.Keys.at("K1"), KeyState::Valid);
  EXPECT_EQ(settings.Keys.at("K2"), KeyState::ApiDisabled);
  EXPECT_EQ(settings.Keys.at("K3"), KeyState::BillingOff);
}

TEST(StandinMapTiles, RequestsAreReadWithTheirCredentials) {
  const ServiceRequest session = ClassifyRequest("POST", "/v1/createSession?key=K");
  EXPECT_EQ(session.Call, MapTilesCall::CreateSession);
  EXPECT_EQ(session.Key, "K");
  const ServiceRequest tile =
      ClassifyRequest("GET", "/v1/streetview/tiles/3/7/2?session=S&key=K&panoId=P");
  EXPECT_EQ(tile.Kind, RequestKind::Tile);
  EXPECT_EQ(tile.Protocol, TileProtocol::MapTiles);
  EXPECT_EQ((std::vector<int>{tile.Zoom, tile.X, tile.Y}), (std::vector<int>{3, 7, 2}));
  EXPECT_EQ(tile.Session, "S");
  const ServiceRequest metadata =
      ClassifyRequest("GET", "/v1/streetview/metadata?lat=1.5&lng=2&radius=50&key=K");
  EXPECT_EQ(metadata.Call, MapTilesCall::Metadata);
  EXPECT_EQ(metadata.Latitude, 1.5);
  for (const auto& [method, target] : std::vector<std::pair<std::string, std::string>>{
           {"GET", "/v1/createSession?key=K"},
           {"POST", "/v1/streetview/metadata?lat=1&lng=2"},
           {"GET", "/v1/streetview/tiles/3/7?panoId=P"},
           {"GET", "/v1/streetview/tiles/3/7/2/1?panoId=P"},
           {"GET", "/v1/streetview/tiles/3/7/2"},
           {"GET", "/v1/streetview/other"}}) {
    EXPECT_FALSE(ClassifyRequest(method, target).Valid()) << method << " " << target;
  }
}

TEST(StandinMapTiles, AttemptsOfATileCountOverSessions) {
  EXPECT_EQ(CountedTarget("/v1/streetview/tiles/1/0/0?panoId=P&session=S1&key=K"),
            "/v1/streetview/tiles/1/0/0?panoId=P");
  EXPECT_EQ(CountedTarget("/v1/createSession?key=K"), "/v1/createSession");
  EXPECT_EQ(CountedTarget("http://h:1/cbk?output=tile&x=1"), "/cbk?output=tile&x=1");
}

TEST(StandinMapTiles, MetadataOfEverySizeReadsBackInTheProgram) {
  for (const PanoramaSize size : {PanoramaSize::Large, PanoramaSize::Medium, PanoramaSize::Small}) {
    const auto point = PointOfSize(size, 48.8584, 2.2945);
    ASSERT_TRUE(point);
    const std::optional<std::string> json = MapTilesMetadataJson(point->first, point->second);
    ASSERT_TRUE(json);
    const MapTilesMetadata read = ParseMapTilesMetadata(*json);
    ASSERT_EQ(read.Answer.Kind, LookupAnswerKind::Found) << read.Answer.Problem;
    EXPECT_EQ(read.Answer.HighestZoom(), ShapeOf(size).HighestZoom);
    EXPECT_EQ(read.Answer.PanoId, PanoIdOf(*CellOf(point->first, point->second)));
    EXPECT_EQ(read.Record.Links.size(), 2u);
    EXPECT_TRUE(read.Record.Heading);
  }
  EXPECT_FALSE(MapTilesMetadataJson(89.0, 0.0));
}

TEST(StandinMapTiles, PanoIdsAnswersEveryLocationInOrder) {
  const std::string there = PanoIdOf(*CellOf(48.8584, 2.2945));
  EXPECT_EQ(PanoIdsJson(R"({"locations":[{"lat":48.8584,"lng":2.2945},{"lat":89,"lng":0}],)"
                        R"("radius":50})"),
            R"({"panoIds":[")" + there + R"(",""]})");
  std::string many = R"({"locations":[)";
  for (std::size_t i = 0; i <= MaxPanoIdsLocations; ++i)
    many += std::string(i ? "," : "") + R"({"lat":1,"lng":1})";
  many += "]}";
  EXPECT_FALSE(PanoIdsJson(many));
  for (const char* bad : {"", "[]", R"({"locations":[{"lat":"1","lng":1}]})"})
    EXPECT_FALSE(PanoIdsJson(bad)) << bad;
}

struct RefusalCase {
  const char* Name;
  std::string Key;
  std::string Session;
  int Status;
  const char* ErrorStatus;
};

TEST(StandinMapTiles, RefusalsAreTheDocumentedErrorAnswers) {
  TileCache tiles;
  const StandinService answers(tiles);
  MapTilesSettings settings;
  AddApiKey(settings, "good");
  AddApiKey(settings, "off:disabled");
  AddApiKey(settings, "unpaid:billing");
  settings.SessionRequests = 1;
  MapTilesService service(settings, answers);
  const std::string body = R"({"mapType":"streetview","language":"en-US","region":"US"})";
  ServiceRequest create = ClassifyRequest("POST", "/v1/createSession?key=good");
  EXPECT_EQ(service.Answer(create, "text/plain", body).Status, 400);
  EXPECT_EQ(service.Answer(create, "application/json", R"({"mapType":"roadmap"})").Status, 400);
  const Reply opened = service.Answer(create, "application/json", body);
  ASSERT_EQ(opened.Status, 200);
  EXPECT_NE(opened.Body->find(R"("session":"standin-session-1")"), std::string::npos)
      << *opened.Body;

  const std::string metadata = "/v1/streetview/metadata?lat=48.8584&lng=2.2945&radius=50";
  for (const RefusalCase& c :
       {RefusalCase{"bad key", "nobody", "standin-session-1", 400, "INVALID_ARGUMENT"},
        RefusalCase{"api off", "off", "standin-session-1", 403, "PERMISSION_DENIED"},
        RefusalCase{"billing", "unpaid", "standin-session-1", 403, "PERMISSION_DENIED"},
        RefusalCase{"no session", "good", "", 400, "INVALID_ARGUMENT"},
        RefusalCase{"answered", "good", "standin-session-1", 200, ""},
        RefusalCase{"used up", "good", "standin-session-1", 400, "INVALID_ARGUMENT"}}) {
    const ServiceRequest request =
        ClassifyRequest("GET", metadata + "&session=" + c.Session + "&key=" + c.Key);
    const Reply reply = service.Answer(request, "", "");
    EXPECT_EQ(reply.Status, c.Status) << c.Name;
    if (*c.ErrorStatus == '\0') continue;
    EXPECT_NE(reply.Body->find(std::string("\"status\":\"") + c.ErrorStatus + "\""),
              std::string::npos)
        << c.Name << *reply.Body;
  }
}

}  // namespace
}  // namespace korvane::test
