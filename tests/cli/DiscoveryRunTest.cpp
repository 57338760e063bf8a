#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <set>
#include <sstream>
#include <tuple>

#include "NetworkFinder.h"
#include "cli/DiscoveryRun.h"
#include "cli/ServiceFinder.h"
#include "korvane-cli/KorvaneCli.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "ui/TConsoleDialogs.h"

namespace korvane {
namespace {

using standin::NetworkFinder;
using standin::StreetNetwork;

// A download that records each id and ends as told: complete, or stopped at the stopAt-th.
struct FakeDownloads {
  std::vector<std::string> Ids;
  std::size_t StopAt = 0;  // 0: never
  std::string PlanPath;    // checked to exist at the first download
  bool PlanWrittenFirst = true;

  DownloadPanorama Function() {
    return [this](std::size_t, const PlanRow& row) {
      if (Ids.empty() && !PlanPath.empty()) PlanWrittenFirst = FileExists(PlanPath);
      Ids.push_back(row.PanoId);
      BatchPlaceOutcome outcome;
      outcome.Started = true;
      outcome.Stopped = Ids.size() == StopAt;
      outcome.Complete = !outcome.Stopped;
      outcome.Status = outcome.Stopped ? ExitStatus::Incomplete : ExitStatus::Complete;
      outcome.SummaryRow = {row.PanoId, row.PanoId, "1", "0", outcome.Stopped ? "stopped" : "done"};
      return outcome;
    };
  }
};

DiscoveryRequest AroundTown(const std::string& folder) {
  DiscoveryRequest request;
  request.Walk = DiscoveryRequest::Kind::Around;
  request.Centre = StreetNetwork::At(100, 0);
  request.RadiusMetres = 35;
  request.Folder = folder;
  request.Name = "town";
  return request;
}

std::size_t FileCount(const std::string& folder) {
  return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                                std::filesystem::directory_iterator()));
}

TEST(RunDiscovery, WritesThePlanFirstThenDownloadsEachPanoramaOnce) {
  test::TempFolder folder;
  NetworkFinder finder;
  FakeDownloads downloads;
  downloads.PlanPath = folder.Path() + "town_plan.csv";
  std::ostringstream out, err;
  EXPECT_EQ(RunDiscovery(AroundTown(folder.Path()), finder, downloads.Function(), out, err),
            ExitStatus::Complete)
      << err.str();
  EXPECT_TRUE(downloads.PlanWrittenFirst);
  EXPECT_EQ(downloads.Ids.size(), 10u);
  EXPECT_EQ(std::set<std::string>(downloads.Ids.begin(), downloads.Ids.end()).size(), 10u);
  for (const PlanRow& row : ReadPlan(downloads.PlanPath))
    EXPECT_EQ(row.State, PlanState::Done);
  EXPECT_TRUE(FileExists(folder.Path() + "town.geojson"));
  EXPECT_TRUE(FileExists(folder.Path() + "town_summary.csv"));
  EXPECT_NE(out.str().find("Plan " + downloads.PlanPath + ": 10 panoramas"), std::string::npos);
}

TEST(RunDiscovery, AStoppedRunIsContinuedByTheNextWithoutLookingUpAgain) {
  test::TempFolder folder;
  NetworkFinder finder;
  FakeDownloads first;
  first.StopAt = 4;
  std::ostringstream out, err;
  EXPECT_EQ(RunDiscovery(AroundTown(folder.Path()), finder, first.Function(), out, err),
            ExitStatus::Incomplete);
  const PanoramaPlan stopped = ReadPlan(folder.Path() + "town_plan.csv");
  EXPECT_EQ(stopped[2].State, PlanState::Done);
  EXPECT_EQ(stopped[3].State, PlanState::Stopped);
  EXPECT_EQ(stopped[4].State, PlanState::Planned);

  NetworkFinder second;
  FakeDownloads rest;
  EXPECT_EQ(RunDiscovery(AroundTown(folder.Path()), second, rest.Function(), out, err),
            ExitStatus::Complete);
  EXPECT_EQ(second.Lookups(), 0) << "the plan on disk is the plan";
  ASSERT_EQ(rest.Ids.size(), 7u) << "the stopped one and those never started";
  EXPECT_EQ(rest.Ids.front(), first.Ids.back());
  for (const PlanRow& row : ReadPlan(folder.Path() + "town_plan.csv"))
    EXPECT_EQ(row.State, PlanState::Done);
}

TEST(RunDiscovery, ShardsDownloadDisjointPartsThatMakeTheWhole) {
  test::TempFolder folder;
  std::set<std::string> all;
  std::size_t total = 0;
  for (int index = 1; index <= 3; ++index) {
    DiscoveryRequest request = AroundTown(folder.Path());
    request.RadiusMetres = 200;
    request.AllDates = true;
    request.Shard = PlanShard{index, 3};
    NetworkFinder finder;
    FakeDownloads downloads;
    std::ostringstream out, err;
    EXPECT_EQ(RunDiscovery(request, finder, downloads.Function(), out, err), ExitStatus::Complete);
    EXPECT_EQ(finder.Lookups() > 0, index == 1) << "later parts take the whole plan on disk";
    EXPECT_TRUE(FileExists(folder.Path() + "town_part" + std::to_string(index) + "of3_plan.csv"));
    total += downloads.Ids.size();
    all.insert(downloads.Ids.begin(), downloads.Ids.end());
  }
  const std::size_t whole = ReadPlan(folder.Path() + "town_plan.csv").size();
  EXPECT_EQ(whole % StreetNetwork::NetworkDates, 0u) << "--all-dates: every date of each place";
  EXPECT_EQ(total, whole);
  EXPECT_EQ(all.size(), whole);
}

TEST(RunDiscovery, PlanOnlyDownloadsNothing) {
  test::TempFolder folder;
  DiscoveryRequest request = AroundTown(folder.Path());
  request.PlanOnly = true;
  request.MapPath = folder.Path() + "town.png";
  NetworkFinder finder;
  FakeDownloads downloads;
  std::ostringstream out, err;
  EXPECT_EQ(RunDiscovery(request, finder, downloads.Function(), out, err), ExitStatus::Complete);
  EXPECT_TRUE(downloads.Ids.empty());
  EXPECT_EQ(ReadPlan(folder.Path() + "town_plan.csv").size(), 10u);
  EXPECT_TRUE(FileExists(folder.Path() + "town.geojson"));
  EXPECT_EQ(ReadFileBytes(folder.Path() + "town.png").substr(1, 3), "PNG");
}

TEST(RunDiscovery, ABadAreaOrRouteFileEndsWithOneLineAndWritesNothing) {
  test::TempFolder folder;
  const std::string area = folder.Path() + "open.geojson";
  std::ofstream(area)
      << R"({"type":"Polygon","coordinates":[[[8,47],[8.1,47],[8.1,47.1],[8,47.1]]]})";
  const std::string route = folder.Path() + "empty.gpx";
  std::ofstream(route) << "<gpx><trk><trkseg/></trk></gpx>";
  // 15 km there and back 40 times: 1.2 million lookups a metre apart.
  const std::string longRoute = folder.Path() + "long.gpx";
  {
    std::ofstream gpx(longRoute);
    gpx << "<gpx><trk><trkseg>";
    for (int i = 0; i < 40; ++i)
      gpx << "<trkpt lat=\"47\" lon=\"8\"/><trkpt lat=\"47\" lon=\"8.2\"/>";
    gpx << "</trkseg></trk></gpx>";
  }
  const std::string bigArea = folder.Path() + "big.geojson";
  std::ofstream(bigArea)
      << R"({"type":"Polygon","coordinates":[[[8,47],[8.2,47],[8.2,47.1],[8,47]]]})";
  const std::tuple<DiscoveryRequest::Kind, std::string, double> cases[] = {
      {DiscoveryRequest::Kind::Area, area, 50},
      {DiscoveryRequest::Kind::Route, route, 10},
      {DiscoveryRequest::Kind::Route, longRoute, 1},
      {DiscoveryRequest::Kind::Area, bigArea, 5},
  };
  for (const auto& [kind, file, metres] : cases) {
    DiscoveryRequest request = AroundTown(folder.Path());
    request.Walk = kind;
    request.ShapeFile = file;
    request.SpacingMetres = metres;
    request.StepMetres = metres;
    NetworkFinder finder;
    FakeDownloads downloads;
    std::ostringstream out, err;
    EXPECT_EQ(RunDiscovery(request, finder, downloads.Function(), out, err),
              ExitStatus::BadCommandLine);
    const std::string message = err.str();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_EQ(finder.Lookups(), 0);
  }
  EXPECT_EQ(FileCount(folder.Path()), 4u) << "only the input files";
}

TEST(RunDiscovery, WalksAnAreaFileAndARouteFile) {
  test::TempFolder folder;
  auto position = [](double e, double n) {
    const GeoPoint point = StreetNetwork::At(e, n);
    char text[64];
    std::snprintf(text, sizeof text, "[%.8f,%.8f]", point.Longitude, point.Latitude);
    return std::string(text);
  };
  const std::string area = folder.Path() + "block.geojson";
  std::ofstream(area) << R"({"type":"Polygon","coordinates":[[)" << position(-5, -5) << ","
                      << position(205, -5) << "," << position(205, 5) << "," << position(-5, 5)
                      << "," << position(-5, -5) << "]]}";
  const std::string route = folder.Path() + "walk.gpx";
  const GeoPoint from = StreetNetwork::At(0, 0);
  const GeoPoint to = StreetNetwork::At(0, 100);
  std::ofstream(route) << std::setprecision(10) << "<gpx><rte><rtept lat=\"" << from.Latitude
                       << "\" lon=\"" << from.Longitude << "\"/><rtept lat=\"" << to.Latitude
                       << "\" lon=\"" << to.Longitude << "\"/></rte></gpx>";
  const std::pair<DiscoveryRequest::Kind, std::string> walks[] = {
      {DiscoveryRequest::Kind::Area, area}, {DiscoveryRequest::Kind::Route, route}};
  const std::size_t expected[] = {21,
                                  11};  // the main street's first 200 m; 100 m of a cross street
  for (int i = 0; i < 2; ++i) {
    DiscoveryRequest request = AroundTown(folder.Path());
    request.Walk = walks[i].first;
    request.ShapeFile = walks[i].second;
    request.Name = "walk" + std::to_string(i);
    request.SpacingMetres = 50;
    request.StepMetres = 10;
    request.PlanOnly = true;
    NetworkFinder finder;
    FakeDownloads downloads;
    std::ostringstream out, err;
    EXPECT_EQ(RunDiscovery(request, finder, downloads.Function(), out, err), ExitStatus::Complete)
        << err.str();
    EXPECT_EQ(ReadPlan(folder.Path() + request.Name + "_plan.csv").size(), expected[i]);
  }
}

TEST(KorvaneCliDiscovery, ABadFileOrValueEndsWithStatus2AndWritesNothing) {
  test::TempProgramFolder program;
  test::TempFolder folder;
  const std::string area = folder.Path() + "text.geojson";
  std::ofstream(area) << "not json";
  const std::vector<std::string> runs[] = {
      {"--area", area, "--path", folder.Path()},
      {"--route", folder.Path() + "missing.gpx", "--path", folder.Path()},
      {"--around", "47.37,8.54", "--radius", "-5", "--path", folder.Path()},
  };
  for (const std::vector<std::string>& arguments : runs) {
    std::ostringstream out, err;
    EXPECT_EQ(RunKorvaneCli(arguments, out, err), ExitStatus::BadCommandLine) << arguments[1];
    const std::string message = err.str();
    EXPECT_NE(message.find(arguments[0] == "--around" ? "--radius" : arguments[1]),
              std::string::npos)
        << message;
    EXPECT_TRUE(out.str().empty());
  }
  EXPECT_EQ(FileCount(folder.Path()), 1u) << "only the area file";
}

// The town, asking for a stop at its fifth lookup as a signal does: a call queued on the main
// thread.
class StopAtFifthLookup final : public PanoramaFinder {
 public:
  explicit StopAtFifthLookup(TApplication& app) : app_(app) {}
  NearestPanorama FindNearest(GeoPoint point, double radius) override {
    Count();
    return town_.FindNearest(point, radius);
  }
  std::optional<PanoramaRecord> FindById(const std::string& id) override {
    Count();
    return town_.FindById(id);
  }
  StoppableFinder* Target = nullptr;
  int Lookups = 0;

 private:
  void Count() {
    if (++Lookups == 5) app_.QueueCall([this] { Target->Stop(); });
  }
  TApplication& app_;
  NetworkFinder town_;
};

TEST(RunDiscovery, AStopWhileLookingUpEndsTheRunWithNoPlan) {
  test::TempFolder folder;
  std::ostringstream out, err;
  TConsoleDialogs dialogs(err);
  TApplication app(dialogs);
  StopAtFifthLookup town(app);
  StoppableFinder finder(town, app);
  town.Target = &finder;
  FakeDownloads downloads;
  EXPECT_EQ(RunDiscovery(AroundTown(folder.Path()), finder, downloads.Function(), out, err),
            ExitStatus::Incomplete);
  EXPECT_EQ(town.Lookups, 5) << "no lookup after the stop";
  EXPECT_EQ(err.str(), "Stopped before the plan was made\n");
  EXPECT_TRUE(downloads.Ids.empty());
  EXPECT_EQ(FileCount(folder.Path()), 0u) << "no plan of a walk cut short";
}

}  // namespace
}  // namespace korvane
