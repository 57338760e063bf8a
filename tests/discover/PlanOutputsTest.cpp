#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "discover/PlanOutputs.h"

namespace korvane {
namespace {

PanoramaPlan ThreeInARow() {
  return {{"a", 47.37, 8.54, "2023-06", "90.0", PlanState::Done, {"b"}},
          {"b", 47.37, 8.5401, "", "", PlanState::Planned, {"a", "c"}},
          {"c", 47.37, 8.5402, "2019-01", "270.0", PlanState::Failed, {"b", "gone"}}};
}

PanoramaFiles FilesOf(const PlanRow& row) {
  PanoramaFiles files{"/d/" + row.PanoId + ".krvn", std::nullopt};
  if (row.State == PlanState::Done) files.Picture = "/d/" + row.PanoId + ".jpg";
  return files;
}

TEST(PlanGeoJson, HasAPointPerPanoramaAndEachLinkOnce) {
  const nlohmann::json collection = nlohmann::json::parse(PlanGeoJson(ThreeInARow(), FilesOf));
  EXPECT_EQ(collection["type"], "FeatureCollection");
  const nlohmann::json& features = collection["features"];
  ASSERT_EQ(features.size(), 5u);  // three points, the links a-b and b-c
  const nlohmann::json& a = features[0];
  EXPECT_EQ(a["geometry"]["type"], "Point");
  EXPECT_EQ(a["geometry"]["coordinates"], nlohmann::json({8.54, 47.37})) << "longitude first";
  EXPECT_EQ(a["properties"]["id"], "a");
  EXPECT_EQ(a["properties"]["date"], "2023-06");
  EXPECT_EQ(a["properties"]["heading"], 90.0);
  EXPECT_EQ(a["properties"]["state"], "done");
  EXPECT_EQ(a["properties"]["task_file"], "/d/a.krvn");
  EXPECT_EQ(a["properties"]["picture"], "/d/a.jpg");
  const nlohmann::json& b = features[1]["properties"];
  EXPECT_TRUE(b["date"].is_null());
  EXPECT_TRUE(b["heading"].is_null());
  EXPECT_FALSE(b.contains("picture")) << "no picture made";
  EXPECT_EQ(features[3]["geometry"]["type"], "LineString");
  EXPECT_EQ(features[3]["properties"], nlohmann::json({{"from", "a"}, {"to", "b"}}));
  EXPECT_EQ(features[4]["properties"], nlohmann::json({{"from", "b"}, {"to", "c"}}));
}

TEST(PlanMapPng, IsAPngOfTheMapsSize) {
  const std::string png = PlanMapPng(ThreeInARow());
  ASSERT_GT(png.size(), 24u);
  EXPECT_EQ(png.substr(0, 8), "\x89PNG\r\n\x1a\n");
  auto bigEndian = [&png](std::size_t at) {
    return (static_cast<unsigned char>(png[at]) << 24) |
           (static_cast<unsigned char>(png[at + 1]) << 16) |
           (static_cast<unsigned char>(png[at + 2]) << 8) | static_cast<unsigned char>(png[at + 3]);
  };
  EXPECT_EQ(bigEndian(16), static_cast<unsigned>(MapPixels)) << "width: the east-west row";
  EXPECT_LT(bigEndian(20), static_cast<unsigned>(MapPixels / 4)) << "a row of points: a strip";
  EXPECT_EQ(PlanMapPng({}).substr(0, 8), "\x89PNG\r\n\x1a\n") << "an empty plan draws too";
}

}  // namespace
}  // namespace korvane
