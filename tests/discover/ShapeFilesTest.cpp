#include <gtest/gtest.h>

#include <fstream>

#include "discover/DiscoverLimits.h"
#include "discover/ShapeFiles.h"
#include "discover/TownPlaces.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

std::string WriteFile(const test::TempFolder& folder, const std::string& name,
                      const std::string& content) {
  const std::string path = folder.Path() + name;
  std::ofstream(path, std::ios::binary) << content;
  return path;
}

const std::string Square = test::RingJson(0, 0, 100, 100);
const std::string Hole = test::RingJson(40, 40, 60, 60);

TEST(ReadAreaFile, TakesPolygonsBareInAFeatureAndInACollection) {
  test::TempFolder folder;
  const GeoArea bare = ReadAreaFile(WriteFile(
      folder, "a.geojson", R"({"type":"Polygon","coordinates":[)" + Square + "," + Hole + "]}"));
  ASSERT_EQ(bare.size(), 1u);
  EXPECT_EQ(bare[0].Outer.size(), 5u);
  EXPECT_EQ(bare[0].Holes.size(), 1u);
  EXPECT_FALSE(IsInside(bare, standin::StreetNetwork::At(50, 50))) << "in the hole";
  EXPECT_TRUE(IsInside(bare, standin::StreetNetwork::At(20, 50)));

  const std::string multi = R"({"type":"MultiPolygon","coordinates":[[)" + Square + "],[" +
                            test::RingJson(200, 0, 300, 100) + "]]}";
  const std::string collection =
      R"({"type":"FeatureCollection","features":[{"type":"Feature","properties":{},"geometry":)" +
      multi + R"(},{"type":"Feature","geometry":null}]})";
  const GeoArea area = ReadAreaFile(WriteFile(folder, "c.geojson", collection));
  EXPECT_EQ(area.size(), 2u);
  EXPECT_TRUE(IsInside(area, standin::StreetNetwork::At(250, 50)));
  EXPECT_FALSE(IsInside(area, standin::StreetNetwork::At(150, 50)));
}

TEST(ReadRouteFile, TakesGpxTracksAndRoutesAndGeoJsonLines) {
  test::TempFolder folder;
  const GeoRoute gpx = ReadRouteFile(WriteFile(folder, "r.gpx", R"(<?xml version="1.0"?>
<gpx:gpx xmlns:gpx="http://www.topografix.com/GPX/1/1" version="1.1">
 <gpx:wpt lat="1" lon="1"/>
 <gpx:trk><gpx:trkseg><gpx:trkpt lat="47.5" lon="8.5"/><gpx:trkpt lat=" 47.6 " lon="8.6"/>
 </gpx:trkseg><gpx:trkseg><gpx:trkpt lat="47.5" lon="8.55"/></gpx:trkseg></gpx:trk>
 <gpx:rte><gpx:rtept lat="47.51" lon="8.51"/></gpx:rte>
</gpx:gpx>)"));
  ASSERT_EQ(gpx.size(), 3u);
  EXPECT_EQ(gpx[0].size(), 2u);
  EXPECT_EQ(gpx[0][1], (GeoPoint{47.6, 8.6}));
  EXPECT_EQ(gpx[2][0], (GeoPoint{47.51, 8.51}));
  const GeoRoute line = ReadRouteFile(WriteFile(
      folder, "l.geojson",
      R"({"type":"Feature","geometry":{"type":"LineString","coordinates":[[8.5,47.5],[8.6,47.5,410]]}})"));
  ASSERT_EQ(line.size(), 1u);
  EXPECT_EQ(line[0][1], (GeoPoint{47.5, 8.6}));
}

struct BadFile {
  const char* Name;
  std::string Content;
  const char* Reason;
  bool Route = false;
};

TEST(ShapeFiles, RefuseEveryBadFileWithOneLine) {
  const std::string far = test::RingJson(0, 0, 30000, 100);
  const BadFile cases[] = {
      {"text.geojson", "hello", "not GeoJSON"},
      {"array.geojson", "[1,2]", "not GeoJSON"},
      {"deep.geojson", std::string(100, '[') + std::string(100, ']'), "nested too deep"},
      {"open.geojson",
       R"({"type":"Polygon","coordinates":[[[8,47],[8.1,47],[8.1,47.1],[8,47.1]]]})",
       "an open ring"},
      {"short.geojson", R"({"type":"Polygon","coordinates":[[[8,47],[8.1,47],[8,47]]]})",
       "fewer than four"},
      {"lat.geojson", R"({"type":"Polygon","coordinates":[[[8,47],[8,91],[8.1,47.1],[8,47]]]})",
       "out of range"},
      {"lon.geojson", R"({"type":"Polygon","coordinates":[[[8,47],[181,47],[8.1,47.1],[8,47]]]})",
       "out of range"},
      {"point.geojson", R"({"type":"Point","coordinates":[8,47]})", "a Point where a Polygon"},
      {"empty.geojson", R"({"type":"FeatureCollection","features":[]})", "no Polygon"},
      {"wide.geojson", R"({"type":"Polygon","coordinates":[)" + far + "]}", "wider than 20 km"},
      {"across.geojson",
       R"({"type":"Polygon","coordinates":[[[179.9,0],[-179.9,0],[-179.9,0.1],[179.9,0]]]})",
       "antimeridian"},
      {"nopoints.gpx", R"(<gpx><trk><trkseg></trkseg></trk></gpx>)", "no points", true},
      {"broken.gpx", R"(<gpx><trk><trkseg><trkpt lat="1" lon="2"></trk></gpx>)",
       "not a GPX file (XML error at line 1", true},
      {"root.gpx", R"(<kml><trkpt lat="1" lon="2"/></kml>)", "root element is not gpx", true},
      {"range.gpx", R"(<gpx><rte><rtept lat="95" lon="2"/></rte></gpx>)", "out of range", true},
      {"text.gpx", R"(<gpx><rte><rtept lat="north" lon="2"/></rte></gpx>)", "numeric lat", true},
      {"polygon-route.geojson",
       R"({"type":"Polygon","coordinates":[[[8,47],[8.1,47],[8.1,47.1],[8,47]]]})",
       "where a LineString", true},
      {"big.geojson", std::string(MaxShapeFileBytes + 1, ' '), "at most 16 MiB"},
  };
  test::TempFolder folder;
  for (const BadFile& bad : cases) {
    SCOPED_TRACE(bad.Name);
    const std::string path = WriteFile(folder, bad.Name, bad.Content);
    try {
      bad.Route ? (void)ReadRouteFile(path) : (void)ReadAreaFile(path);
      ADD_FAILURE() << "accepted";
    } catch (const ShapeFileError& error) {
      EXPECT_EQ(error.Message().rfind(path + ": ", 0), 0u) << error.Message();
      EXPECT_NE(error.Message().find(bad.Reason), std::string::npos) << error.Message();
      EXPECT_EQ(error.Message().find('\n'), std::string::npos);
    }
  }
  EXPECT_THROW(ReadAreaFile(folder.Path() + "missing.geojson"), ShapeFileError);
  EXPECT_THROW(ReadAreaFile(folder.Path()), ShapeFileError) << "a folder";
}

TEST(ShapeFiles, ShowNoControlCharacterOfTheFile) {
  test::TempFolder folder;
  const std::string path =
      WriteFile(folder, "esc.geojson", "{\"type\":\"\\u001b[31mPoint\",\"coordinates\":[8,47]}");
  try {
    ReadAreaFile(path);
    ADD_FAILURE();
  } catch (const ShapeFileError& error) {
    EXPECT_EQ(error.Message().find('\x1b'), std::string::npos);
  }
}

}  // namespace
}  // namespace korvane
