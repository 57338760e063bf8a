#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "StreetNetwork.h"
#include "discover/PanoramaPlan.h"
#include "lookup/GeoMetric.h"
#include "platform/FileSystem.h"
#include "support/InProcessCli.h"
#include "task/TaskFile.h"

namespace korvane::test {
namespace {

using standin::StreetNetwork;

constexpr double RadiusMetres = 60;

// korvane-cli finding panoramas around a point of the stand-in's town (korvane-standin
// --streets) over the current protocol, then downloading each at zoom 1.
class DiscoveryCli : public InProcessCli<> {
 protected:
  DiscoveryCli() : InProcessCli("", 1, {"--streets"}) {
    program.WriteConfig(standin.CurrentServiceConfig());
  }
  int Around(GeoPoint centre) {
    return RunCli({"--around", Degrees(centre.Latitude) + "," + Degrees(centre.Longitude),
                   "--radius", "60", "--zoom", "1", "--path", Folder(), "--task", "around",
                   "--quiet"});
  }
  // A folder not there yet: the run makes it before it writes the plan.
  std::string Folder() const { return save.Path() + "town/"; }
  // How many requests so far have this in their target.
  int Requests(const std::string& part) const {
    int count = 0;
    for (const StandinRequest& request : standin.Requests())
      count += request.Target.find(part) != std::string::npos ? 1 : 0;
    return count;
  }
  static std::string Degrees(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7f", value);
    return text;
  }
};

// The town's places (their newest captures) within the radius of the point.
std::set<std::string> PlacesWithin(GeoPoint centre, double radiusMetres) {
  std::set<std::string> ids;
  for (const PanoramaRecord* place : StreetNetwork::Town().Places())
    if (DistanceMetres(centre, {*place->Latitude, *place->Longitude}) <= radiusMetres)
      ids.insert(place->PanoId);
  return ids;
}

std::set<std::string> GeoJsonPointIds(const std::string& path) {
  std::set<std::string> ids;
  const nlohmann::json collection = nlohmann::json::parse(ReadFileBytes(path));
  for (const nlohmann::json& feature : collection.at("features"))
    if (feature.at("geometry").at("type") == "Point")
      ids.insert(feature.at("properties").at("id").get<std::string>());
  return ids;
}

TEST_F(DiscoveryCli, Around_ThePlanIsTheTownWithinTheRadiusEachDownloadedByIdThenContinued) {
  // On the main street by the dead end: a stretch of the street and the dead end's start.
  const GeoPoint centre = StreetNetwork::At(100, 5);
  const std::set<std::string> expected = PlacesWithin(centre, RadiusMetres);
  ASSERT_GE(expected.size(), 10u);
  ASSERT_LE(expected.size(), 20u);

  ASSERT_EQ(Around(centre), 0) << err.str() << out.str();
  const std::string planPath = Folder() + "around_plan.csv";
  ASSERT_TRUE(FileExists(planPath)) << out.str();
  std::set<std::string> planned;
  for (const PlanRow& row : ReadPlan(planPath)) {
    planned.insert(row.PanoId);
    EXPECT_EQ(row.State, PlanState::Done) << row.PanoId;
    // Each task was started by its id and holds that panorama.
    const TaskFile task = ReadTaskFile(Folder() + row.PanoId + ".krvn");
    EXPECT_TRUE(task.StartedById) << row.PanoId;
    EXPECT_EQ(task.PanoId, row.PanoId);
  }
  EXPECT_EQ(planned, expected);
  EXPECT_EQ(GeoJsonPointIds(Folder() + "around.geojson"), expected);

  // One place lookup (the walk's start); every other request names an id: the walk's links,
  // then each download's by-id start and its tiles, of the planned panoramas only.
  EXPECT_EQ(Requests("SingleImageSearch"), 1);
  std::set<std::string> tileIds;
  for (const StandinRequest& request : standin.Requests()) {
    const std::size_t at = request.Target.find("panoid=");
    if (at == std::string::npos) continue;
    tileIds.insert(request.Target.substr(at + 7, request.Target.find('&', at) - at - 7));
  }
  EXPECT_EQ(tileIds, expected);
  // The walk looked every planned panorama but the first up by id, the downloads each again.
  EXPECT_GE(Requests("/maps/photometa/v1"), static_cast<int>(2 * expected.size() - 1));

  // A second run continues the plan: nothing is looked up or downloaded again.
  const std::size_t before = standin.Requests().size();
  ASSERT_EQ(Around(centre), 0) << err.str();
  EXPECT_NE(out.str().find("Continuing plan " + planPath), std::string::npos) << out.str();
  EXPECT_EQ(standin.Requests().size(), before);
}

TEST_F(DiscoveryCli, OverTheClassicProtocol_EachPanoramaStartsAtItsPosition) {
  // The classic protocol has no lookup by id and no links: the walk finds the nearest panorama
  // alone, and its download starts at its position.
  program.WriteConfig(standin.ServiceConfig());
  ASSERT_EQ(Around(StreetNetwork::At(100, 5)), 0) << err.str() << out.str();
  const PanoramaPlan plan = ReadPlan(Folder() + "around_plan.csv");
  ASSERT_EQ(plan.size(), 1u);
  const TaskFile task = ReadTaskFile(Folder() + plan[0].PanoId + ".krvn");
  EXPECT_FALSE(task.StartedById);
  EXPECT_EQ(task.PanoId, plan[0].PanoId);
  EXPECT_EQ(Requests("/maps/photometa/v1"), 0);
}

}  // namespace
}  // namespace korvane::test
