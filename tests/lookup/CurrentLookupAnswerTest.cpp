#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "lookup/CurrentLookupAnswer.h"
#include "task/PanoIdCheck.h"
#include "task/TileGeometry.h"

namespace korvane::test {
namespace {

using Json = nlohmann::json;

constexpr const char* Id = "AF1QipN-bC_9x0Yq2u7Kc";

// An answer of the real shape: status, id, sizes per zoom from 0, tile size, position, date.
Json FoundPanorama() {
  Json sizes = Json::array();
  for (int zoom = 0; zoom <= 5; ++zoom)
    sizes.push_back({{256 << zoom, 512 << zoom}});
  Json panorama = Json::array();
  panorama.push_back({1});
  panorama.push_back({2, Id});
  panorama.push_back({2, 2, nullptr, {sizes, {512, 512}}});
  panorama.push_back(nullptr);
  panorama.push_back(nullptr);
  panorama.push_back({{{1}, {{nullptr, nullptr, 48.8584, 2.2945}, {10.5}}}});
  panorama.push_back({nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, {2019, 7}});
  return Json::array({Json::array({0}), panorama});
}

std::string Wrap(const std::string& json) {
  return "/**/_xdc_._v2mub5 && _xdc_._v2mub5( " + json + " )";
}

CurrentLookupAnswer Parse(const Json& root) {
  return ParseCurrentLookupAnswer(Wrap(root.dump()));
}

TEST(CurrentLookupAnswer, Found_EverythingTheAnswerHolds) {
  const CurrentLookupAnswer answer = Parse(FoundPanorama());
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_EQ(answer.Status, 0);
  EXPECT_EQ(answer.PanoId, Id);
  ASSERT_EQ(answer.Sizes.size(), 6u);
  EXPECT_EQ(answer.Sizes[0], (PixelSize{512, 256}));
  EXPECT_EQ(answer.Sizes[5], (PixelSize{16384, 8192}));
  EXPECT_EQ(answer.HighestZoom(), 5);
  EXPECT_EQ(answer.TileSize, (PixelSize{512, 512}));
  EXPECT_EQ(answer.CaptureDate, "2019-07");
  EXPECT_DOUBLE_EQ(*answer.Latitude, 48.8584);
  EXPECT_DOUBLE_EQ(*answer.Longitude, 2.2945);
}

TEST(CurrentLookupAnswer, Found_OptionalPartsMissingOrBroken) {
  Json root = FoundPanorama();
  root[1][6] = nullptr;                      // no date
  root[1][5][0][1][0][2] = "48.8";           // a latitude that is not a number
  root[1][2][3][0][4] = Json::array({"x"});  // zoom 4 broken: only 0..3 count
  const CurrentLookupAnswer answer = Parse(root);
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_EQ(answer.CaptureDate, "");
  EXPECT_FALSE(answer.Latitude);
  EXPECT_FALSE(answer.Longitude);
  EXPECT_EQ(answer.HighestZoom(), 3);

  root = FoundPanorama();
  root[1][6][7] = {2019, 13};  // no such month
  EXPECT_EQ(Parse(root).CaptureDate, "");
  root = FoundPanorama();
  root[1].erase(5);  // the position gone, so the date sits at [5]: nothing is read there
  EXPECT_EQ(Parse(root).CaptureDate, "");
  EXPECT_FALSE(Parse(root).Latitude);
  root = FoundPanorama();
  root[1][2][3][0].erase(5);  // a panorama that only goes to zoom 3
  root[1][2][3][0].erase(4);
  EXPECT_EQ(Parse(root).HighestZoom(), 3);
}

TEST(CurrentLookupAnswer, NoPanorama_OtherStatusesAndRefusedIds) {
  EXPECT_EQ(ParseCurrentLookupAnswer(Wrap("[[5,\"Search returned no images.\"]]")).Kind,
            LookupAnswerKind::NoPanorama);
  EXPECT_EQ(ParseCurrentLookupAnswer(Wrap("[[5,\"Search returned no images.\"]]")).Status, 5);
  EXPECT_EQ(ParseCurrentLookupAnswer(Wrap("[[-1]]")).Kind, LookupAnswerKind::NoPanorama);

  for (const std::string& id : std::vector<std::string>{
           "", "a/b", "a b", "a\"b", "id&x=1", "d\xc3\xa9j\xc3\xa0", std::string(201, 'a')}) {
    Json root = FoundPanorama();
    root[1][1][1] = id;
    EXPECT_EQ(Parse(root).Kind, LookupAnswerKind::NoPanorama) << id;
  }
  Json root = FoundPanorama();
  root[1][1][1] = std::string(200, 'a');
  EXPECT_EQ(Parse(root).Kind, LookupAnswerKind::Found);
}

TEST(CurrentLookupAnswer, Unreadable_MissingIndicesAndWrongTypes) {
  const std::vector<std::pair<std::string, std::function<void(Json&)>>> breaks = {
      {"status missing", [](Json& r) { r[0] = Json::array(); }},
      {"status a text", [](Json& r) { r[0][0] = "0"; }},
      {"status a fraction", [](Json& r) { r[0][0] = 0.5; }},
      {"status an object",
       [](Json& r) {
         r[0] = Json::object({{"0", 0}});
       }},
      {"no panorama", [](Json& r) { r.erase(1); }},
      {"panorama an object", [](Json& r) { r[1] = Json::object(); }},
      {"id a number", [](Json& r) { r[1][1][1] = 42; }},
      {"id missing", [](Json& r) { r[1][1] = Json::array({2}); }},
      {"no tile size", [](Json& r) { r[1][2][3][1] = nullptr; }},
      {"tile size zero",
       [](Json& r) {
         r[1][2][3][1] = {0, 512};
       }},
      {"tile size negative",
       [](Json& r) {
         r[1][2][3][1] = {512, -512};
       }},
      {"no sizes", [](Json& r) { r[1][2][3][0] = Json::array(); }},
      {"sizes a text", [](Json& r) { r[1][2][3][0] = "16384x8192"; }},
      {"size zero at zoom 0",
       [](Json& r) {
         r[1][2][3][0][0][0] = {0, 0};
       }},
      {"size one number", [](Json& r) { r[1][2][3][0][0][0] = {256}; }},
      {"fractional sizes",
       [](Json& r) {
         r[1][2][3][0][0][0] = {256.5, 512};
       }},
  };
  for (const auto& [what, change] : breaks) {
    Json root = FoundPanorama();
    change(root);
    const CurrentLookupAnswer answer = Parse(root);
    EXPECT_EQ(answer.Kind, LookupAnswerKind::Unreadable) << what;
    EXPECT_FALSE(answer.Problem.empty()) << what;
  }
  Json root = FoundPanorama();
  root[1][2][3][1] = nullptr;
  EXPECT_EQ(Parse(root).Problem, "no tile size at R[1][2][3][1]");
}

TEST(CurrentLookupAnswer, HugeNumbers_NotBelieved) {
  const std::string text = FoundPanorama().dump();
  for (const char* huge : {"99999999999999999999999", "18446744073709551615", "1e308", "-1e308",
                           "2147483648", "1048577"}) {
    // The width at zoom 5 becomes the huge number: zoom 5 is dropped, 0..4 stay.
    std::string changed = text;
    const std::string zoom5 = "[[8192,16384]]";
    changed.replace(changed.find(zoom5), zoom5.size(), std::string("[[8192,") + huge + "]]");
    const CurrentLookupAnswer answer = ParseCurrentLookupAnswer(Wrap(changed));
    ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << huge;
    EXPECT_EQ(answer.HighestZoom(), 4) << huge;
  }
  // A status is a status when it is an integer the program can hold, however large.
  EXPECT_EQ(ParseCurrentLookupAnswer(Wrap("[[2147483648]]")).Kind, LookupAnswerKind::NoPanorama);
  for (const char* huge : {"18446744073709551615", "99999999999999999999999", "1e308"}) {
    EXPECT_EQ(ParseCurrentLookupAnswer(Wrap(std::string("[[") + huge + "]]")).Kind,
              LookupAnswerKind::Unreadable)
        << huge;
  }
  // A grid beyond MaxTileGridSide tiles a side is no zoom level the program downloads.
  Json root = FoundPanorama();
  root[1][2][3][0][5][0] = {MaxTileGridSide * 512 + 1, 16384};
  EXPECT_EQ(Parse(root).HighestZoom(), 4);
}

// Tiles are 512 pixels square everywhere in the program; an answer with other tiles is refused
// rather than fetched into a panorama nothing can join.
TEST(CurrentLookupAnswer, ATileSizeOtherThan512IsRefused) {
  for (const auto& [height, width] : std::vector<std::pair<int, int>>{
           {1, 1}, {32, 32}, {256, 256}, {512, 256}, {256, 512}, {1024, 1024}}) {
    Json root = FoundPanorama();
    root[1][2][3][1] = {height, width};
    const CurrentLookupAnswer answer = Parse(root);
    EXPECT_EQ(answer.Kind, LookupAnswerKind::Unreadable) << height << "x" << width;
    EXPECT_EQ(answer.Problem, "the tile size at R[1][2][3][1] is not 512 x 512");
  }
}

TEST(CurrentLookupAnswer, Refused_HtmlPageAfterWhiteSpace) {
  EXPECT_EQ(ParseCurrentLookupAnswer("<!DOCTYPE html><html>(captcha)</html>").Kind,
            LookupAnswerKind::Refused);
  EXPECT_EQ(ParseCurrentLookupAnswer(" \r\n\t<html><body>Before you continue</body></html>").Kind,
            LookupAnswerKind::Refused);
}

TEST(CurrentLookupAnswer, Unreadable_NotThatJavaScript) {
  const std::string whole = Wrap(FoundPanorama().dump());
  for (const std::string& body :
       {std::string(), std::string(" \r\n"), std::string("callback()"), std::string("( )"),
        std::string(")("), std::string("_xdc_._v2mub5( [[0]]"), std::string("{\"a\":1}"),
        std::string("_xdc_._v2mub5( {\"status\":0} )"), std::string("_xdc_._v2mub5( 0 )"),
        std::string("_xdc_._v2mub5( [[0],[1,2 )"), whole.substr(0, whole.size() / 2),
        whole.substr(0, whole.size() - 3), std::string("\0\0(\0)", 5),
        std::string("f([[0],[[1],[2,\"\xff\xfe\"]]])")}) {
    EXPECT_EQ(ParseCurrentLookupAnswer(body).Kind, LookupAnswerKind::Unreadable) << body;
  }
}

TEST(CurrentLookupAnswer, DeeplyNestedAndEveryPrefix_NeverCrash) {
  const std::string deep = "f(" + std::string(100000, '[') + std::string(100000, ']') + ")";
  EXPECT_EQ(ParseCurrentLookupAnswer(deep).Kind, LookupAnswerKind::Unreadable);
  const std::string whole = Wrap(FoundPanorama().dump());
  for (std::size_t length = 0; length < whole.size(); ++length) {
    const CurrentLookupAnswer answer = ParseCurrentLookupAnswer(whole.substr(0, length));
    EXPECT_NE(answer.Kind, LookupAnswerKind::Refused);
  }
  EXPECT_EQ(ParseCurrentLookupAnswer(whole).Kind, LookupAnswerKind::Found);
}

TEST(CurrentLookupAnswer, NestingBeyondTheDepthLimitIsRefusedBeforeParsing) {
  const auto nested = [](int depth, const std::string& inside = "0") {
    return std::string(static_cast<std::size_t>(depth), '[') + inside +
           std::string(static_cast<std::size_t>(depth), ']');
  };
  const std::string tooDeep = "nested deeper than 64 levels";
  struct Case {
    std::string json;
    bool refusedForDepth;
  };
  const Case cases[] = {
      {nested(MaxLookupAnswerDepth), false},
      {nested(MaxLookupAnswerDepth + 1), true},
      {"[" + nested(MaxLookupAnswerDepth - 1, "{\"a\":[1]}") + "]", true},
      // Brackets inside texts, escaped quotes included, do not nest.
      {"[\"" + std::string(100, '[') + "\"]", false},
      {"[\"\\\"" + std::string(100, '{') + "\"]", false},
      // Unbalanced closers never earn room for deeper nesting.
      {"[]]]]" + nested(MaxLookupAnswerDepth + 1), true},
  };
  for (const Case& c : cases) {
    const CurrentLookupAnswer answer = ParseCurrentLookupAnswer("f(" + c.json + ")");
    EXPECT_EQ(answer.Kind, LookupAnswerKind::Unreadable) << c.json;
    EXPECT_EQ(answer.Problem == tooDeep, c.refusedForDepth) << c.json << ": " << answer.Problem;
  }
  // A real answer stays well inside the limit.
  EXPECT_EQ(ParseCurrentLookupAnswer(Wrap(FoundPanorama().dump())).Kind, LookupAnswerKind::Found);
}

TEST(PanoIdCheck, LettersDigitsDashUnderscoreUpTo200) {
  EXPECT_TRUE(IsUsablePanoId("Az09-_"));
  EXPECT_TRUE(IsUsablePanoId(std::string(MaxPanoIdLength, 'x')));
  EXPECT_FALSE(IsUsablePanoId(std::string(MaxPanoIdLength + 1, 'x')));
  EXPECT_FALSE(IsUsablePanoId(""));
  for (const char c : std::string(" ./\\%&?=#\"'<>\r\n\0~+", 19)) {
    EXPECT_FALSE(IsUsablePanoId(std::string("ab") + c + "cd")) << static_cast<int>(c);
  }
}

}  // namespace
}  // namespace korvane::test
