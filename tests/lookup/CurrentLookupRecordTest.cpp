#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lookup/CurrentLookupAnswer.h"
#include "lookup/CurrentLookupRecord.h"

namespace korvane::test {
namespace {

using Json = nlohmann::json;

constexpr const char* Id = "AF1QipN-bC_9x0Yq2u7Kc";
constexpr const char* Neighbour = "NeighbourPanorama0001";
constexpr const char* Older = "OlderCaptureOfPlace001";

Json AroundEntry(const std::string& id) {
  return {{2, id}, nullptr, {{nullptr, nullptr, 48.0, 2.0}}};
}

// A panorama message M with every part the record reads, where the real answers hold them.
Json WholeMessage() {
  Json sizes = Json::array();
  for (int zoom = 0; zoom <= 5; ++zoom)
    sizes.push_back({{256 << zoom, 512 << zoom}});
  Json place = Json::array({{1},
                            {{nullptr, nullptr, 48.8584, 2.2945}, {35.5}, {123.25, 91.5, -0.75}},
                            nullptr,
                            {{AroundEntry(Id), AroundEntry(Neighbour), AroundEntry(Older)}},
                            nullptr,
                            nullptr,
                            {{1, {nullptr, nullptr, nullptr, 87.5}}},
                            nullptr,
                            {{2, {2011, 4}}}});
  Json m = Json::array();
  m.push_back({1});
  m.push_back({2, Id});
  m.push_back({2, 2, {8192, 16384}, {sizes, {512, 512}}});
  // Json::array throughout: a list of [text, language] pairs would read as an object.
  m.push_back(Json::array(
      {Json::array({Json::array({"Rue X", "fr"})}), nullptr,
       Json::array({Json::array({"5 Rue X", "fr"}), Json::array({"75007 Paris", "fr"})})}));
  m.push_back({{{{"\xc2\xa9 2019 Service"}}}});
  m.push_back({place});
  m.push_back({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {2019, 7}});
  return m;
}

TEST(CurrentLookupRecord, WholeMessage_EveryField) {
  const PanoramaRecord record = RecordFromPanoramaMessage(WholeMessage());
  EXPECT_EQ(record.PanoId, Id);
  EXPECT_EQ(record.Protocol, PanoramaProtocol::Current);
  EXPECT_DOUBLE_EQ(*record.Latitude, 48.8584);
  EXPECT_DOUBLE_EQ(*record.Longitude, 2.2945);
  EXPECT_DOUBLE_EQ(*record.Elevation, 35.5);
  EXPECT_DOUBLE_EQ(*record.Heading, 123.25);
  EXPECT_DOUBLE_EQ(*record.Tilt, -1.5);  // 90 - 91.5
  EXPECT_DOUBLE_EQ(*record.Roll, -0.75);
  EXPECT_EQ(record.Date, (CaptureMonth{2019, 7}));
  EXPECT_EQ(record.Copyright, "\xc2\xa9 2019 Service");
  EXPECT_EQ(record.AddressLines, (std::vector<std::string>{"5 Rue X", "75007 Paris"}));
  EXPECT_EQ(record.Links, (std::vector<PanoramaLink>{{Neighbour, 87.5}}));
  EXPECT_EQ(record.OtherDates, (std::vector<OtherCapture>{{Older, CaptureMonth{2011, 4}}}));
  EXPECT_EQ(record.ImageWidth, 16384);
  EXPECT_EQ(record.ImageHeight, 8192);
  EXPECT_EQ(record.TileWidth, 512);
  EXPECT_EQ(record.TileHeight, 512);
}

// Each part gone or of another type: that field is left out, every other one kept.
TEST(CurrentLookupRecord, EachPartMissingOrOfTheWrongType_OnlyThatFieldIsLeftOut) {
  const PanoramaRecord whole = RecordFromPanoramaMessage(WholeMessage());
  const std::vector<
      std::tuple<std::string, std::function<void(Json&)>, std::function<void(PanoramaRecord&)>>>
      cases = {
          {"position a text", [](Json& m) { m[5][0][1][0][2] = "48.8"; },
           [](PanoramaRecord& r) { r.Latitude = r.Longitude = std::nullopt; }},
          {"position off the globe", [](Json& m) { m[5][0][1][0][2] = 91.0; },
           [](PanoramaRecord& r) { r.Latitude = r.Longitude = std::nullopt; }},
          {"elevation gone", [](Json& m) { m[5][0][1][1] = nullptr; },
           [](PanoramaRecord& r) { r.Elevation = std::nullopt; }},
          {"orientation gone", [](Json& m) { m[5][0][1].erase(2); },
           [](PanoramaRecord& r) { r.Heading = r.Tilt = r.Roll = std::nullopt; }},
          {"heading an object", [](Json& m) { m[5][0][1][2][0] = Json::object(); },
           [](PanoramaRecord& r) { r.Heading = std::nullopt; }},
          {"tilt a text", [](Json& m) { m[5][0][1][2][1] = "91"; },
           [](PanoramaRecord& r) { r.Tilt = std::nullopt; }},
          {"roll out of range", [](Json& m) { m[5][0][1][2][2] = 1000.0; },
           [](PanoramaRecord& r) { r.Roll = std::nullopt; }},
          {"date gone", [](Json& m) { m[6] = nullptr; },
           [](PanoramaRecord& r) { r.Date = std::nullopt; }},
          {"date month 13", [](Json& m) { m[6][7][1] = 13; },
           [](PanoramaRecord& r) { r.Date = std::nullopt; }},
          {"copyright a number", [](Json& m) { m[4][0][0][0][0] = 2019; },
           [](PanoramaRecord& r) { r.Copyright.clear(); }},
          {"copyright with a control character", [](Json& m) { m[4][0][0][0][0] = "a\x1b[2Jb"; },
           [](PanoramaRecord& r) { r.Copyright.clear(); }},
          {"address gone", [](Json& m) { m[3].erase(2); },
           [](PanoramaRecord& r) { r.AddressLines.clear(); }},
          {"one address line a number", [](Json& m) { m[3][2][0][0] = 5; },
           [](PanoramaRecord& r) { r.AddressLines.erase(r.AddressLines.begin()); }},
          {"around gone", [](Json& m) { m[5][0][3] = nullptr; },
           [](PanoramaRecord& r) { r.Links.clear(), r.OtherDates.clear(); }},
          {"links gone", [](Json& m) { m[5][0][6] = nullptr; },
           [](PanoramaRecord& r) { r.Links[0].Bearing = std::nullopt; }},
          {"a link past the list", [](Json& m) { m[5][0][6][0][0] = 9; },
           [](PanoramaRecord& r) { r.Links[0].Bearing = std::nullopt; }},
          {"dates gone", [](Json& m) { m[5][0].erase(8); },
           [](PanoramaRecord& r) {
             r.Links.push_back({Older, std::nullopt});
             r.OtherDates.clear();
           }},
          {"a date of no month",
           [](Json& m) {
             m[5][0][8][0][1] = {2011, 0};
           },
           [](PanoramaRecord& r) { r.OtherDates[0].Date = std::nullopt; }},
          {"a date pointing at the panorama itself", [](Json& m) { m[5][0][8][0][0] = 0; },
           [](PanoramaRecord& r) {
             r.Links.push_back({Older, std::nullopt});
             r.OtherDates.clear();
           }},
          {"a neighbour id that is no id", [](Json& m) { m[5][0][3][0][1][0][1] = "../x"; },
           [](PanoramaRecord& r) { r.Links.clear(); }},
          {"full size gone: the largest per zoom", [](Json& m) { m[2][2] = nullptr; },
           [](PanoramaRecord&) {}},
          {"tile size a text", [](Json& m) { m[2][3][1] = "512"; },
           [](PanoramaRecord& r) { r.TileWidth = r.TileHeight = 0; }},
      };
  for (const auto& [name, change, expect] : cases) {
    SCOPED_TRACE(name);
    Json m = WholeMessage();
    change(m);
    PanoramaRecord expected = whole;
    expect(expected);
    EXPECT_EQ(RecordFromPanoramaMessage(m), expected);
  }
  PanoramaRecord nothing;
  nothing.Protocol = PanoramaProtocol::Current;
  EXPECT_EQ(RecordFromPanoramaMessage(Json::object()), nothing);
}

TEST(CurrentLookupRecord, TheLookupAnswerCarriesIt) {
  const std::string body =
      "/**/_xdc_._v2mub5 && _xdc_._v2mub5( " + Json::array({{0}, WholeMessage()}).dump() + " )";
  const CurrentLookupAnswer answer = ParseCurrentLookupAnswer(body);
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_EQ(answer.Record, RecordFromPanoramaMessage(WholeMessage()));
}

TEST(CurrentLookupRecord, ByIdAnswer_SameMessageOneLevelDeeperAfterTheGuard) {
  const std::string json = Json::array({{0}, {WholeMessage()}}).dump();
  const CurrentLookupAnswer answer = ParsePanoramaByIdAnswer(")]}'\n" + json);
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_EQ(answer.PanoId, Id);
  EXPECT_EQ(answer.HighestZoom(), 5);
  EXPECT_EQ(answer.Record.OtherDates.size(), 1u);

  const struct {
    std::string Body;
    LookupAnswerKind Kind;
  } others[] = {
      {")]}'\n[[5,\"generic\",\"Search returned no images.\"]]", LookupAnswerKind::NoPanorama},
      {json, LookupAnswerKind::Unreadable},  // no guard
      {")]}'\n{\"a\":1}", LookupAnswerKind::Unreadable},
      {")]}'\nnot json", LookupAnswerKind::Unreadable},
      {")]}'\n" + Json::array({{0}, WholeMessage()}).dump(), LookupAnswerKind::Unreadable},
      {")]}'\n" + std::string(100, '[') + std::string(100, ']'), LookupAnswerKind::Unreadable},
      {"<html>consent</html>", LookupAnswerKind::Refused},
      {"", LookupAnswerKind::Unreadable},
  };
  for (const auto& other : others) {
    EXPECT_EQ(ParsePanoramaByIdAnswer(other.Body).Kind, other.Kind) << other.Body.substr(0, 60);
  }
}

}  // namespace
}  // namespace korvane::test
