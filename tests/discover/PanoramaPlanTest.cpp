#include <gtest/gtest.h>

#include <fstream>
#include <set>

#include "NetworkFinder.h"
#include "discover/PanoramaPlan.h"
#include "discover/TownPlaces.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

using standin::NetworkFinder;
using standin::StreetNetwork;

PanoramaPlan TownPlan(double radius = 60) {
  NetworkFinder finder;
  return PlanOf(FindAround(finder, StreetNetwork::At(100, 0), radius, 1000));
}

TEST(PlanOf, KeepsPositionDateHeadingAndTheLinksInsideThePlan) {
  const PanoramaPlan plan = TownPlan(15);
  ASSERT_EQ(plan.size(), 4u);  // (100,0), two along the main street, one up the dead end
  const PanoramaRecord& start = *StreetNetwork::Town().ById(plan[0].PanoId);
  EXPECT_NEAR(plan[0].Latitude, *start.Latitude, 1e-7);
  EXPECT_EQ(plan[0].Date, "2023-" + std::string(start.Date->Month < 10 ? "0" : "") +
                              std::to_string(start.Date->Month));
  EXPECT_EQ(plan[0].Heading, "90.0");
  EXPECT_EQ(plan[0].Links.size(), 3u);
  EXPECT_EQ(plan[1].Links, std::vector<std::string>{plan[0].PanoId})
      << "the link beyond the plan is dropped";
  EXPECT_EQ(plan[0].State, PlanState::Planned);
}

TEST(PlanFile, ReadsBackWhatItWroteAndSetsStatesInPlace) {
  test::TempFolder folder;
  const std::string path = folder.Path() + "town_plan.csv";
  PanoramaPlan plan = TownPlan();
  WritePlan(path, plan);
  EXPECT_EQ(ReadPlan(path), plan);
  EXPECT_EQ(ReadFileBytes(path).substr(0, 38),
            "id,lat,lon,date,heading,state,links\r\n" + plan[0].PanoId.substr(0, 1));

  PlanStateUpdater states(path, plan);
  states.Set(0, PlanState::Done);
  states.Set(plan.size() - 1, PlanState::Stopped);
  states.Set(2, PlanState::Incomplete);
  plan[0].State = PlanState::Done;
  plan.back().State = PlanState::Stopped;
  plan[2].State = PlanState::Incomplete;
  EXPECT_EQ(ReadPlan(path), plan);
  EXPECT_EQ(ReadFileBytes(path), FormatPlan(plan)) << "the same bytes as a whole write";
  EXPECT_THROW(states.Set(plan.size(), PlanState::Done), FileCreateError);
}

TEST(PlanFile, RefusesRowsThatAreNotAPlansWithTheirLine) {
  const std::string header = "id,lat,lon,date,heading,state,links\n";
  const std::pair<std::string, std::string> cases[] = {
      {"lat,lon\n1,2\n", "line 1: not a plan"},
      {header + "../x,1,2,,,planned,\n", "line 2: not a panorama id"},
      {header + "a,1,2,,,planned,\na,1,2,,,done,\n", "line 3: a panorama listed twice"},
      {header + "a,91,2,,,planned,\n", "a position off the globe"},
      {header + "a,1,x,,,planned,\n", "a position off the globe"},
      {header + "a,1,2,2023-1,,planned,\n", "not YYYY-MM"},
      {header + "a,1,2,,north,planned,\n", "a heading that is not a number"},
      {header + "a,1,2,,nan,planned,\n", "a heading that is not a number"},
      {header + "a,1,2,,,finished,\n", "an unknown state"},
      {header + "a,1,2\n", "a row needs the columns"},
      {header + "a,1,2,,,planned,b ../c\n", "a link that is not an id"},
      {header + "a,1,2,,,planned,x" + std::string(70000, 'x') + "\n", "too long"},
      {"", "an empty plan file"},
  };
  test::TempFolder folder;
  const std::string path = folder.Path() + "p_plan.csv";
  for (const auto& [content, reason] : cases) {
    SCOPED_TRACE(reason);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    try {
      ReadPlan(path);
      ADD_FAILURE() << "accepted";
    } catch (const PlanFileError& error) {
      EXPECT_NE(error.Message().find(reason), std::string::npos) << error.Message();
    }
  }
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      << header << "a,1.000000049,2,,,planned,\r\n\r\nb,1.5,-2,2019-07,45,done   ,a\r\n";
  const PanoramaPlan plan = ReadPlan(path);
  ASSERT_EQ(plan.size(), 2u) << "blank lines and CR LF are read";
  EXPECT_EQ(plan[1].State, PlanState::Done);
  EXPECT_EQ(plan[1].Links, std::vector<std::string>{"a"});
  EXPECT_EQ(plan[0].Latitude, 1.0) << "positions as the file writes them";
  WritePlan(path, plan);
  EXPECT_EQ(ReadPlan(path), plan);
}

TEST(PlanShard, PartsAreDisjointCompleteAndStableById) {
  NetworkFinder finder;
  GeoArea town = {
      {{StreetNetwork::At(-50, -150), StreetNetwork::At(450, -150), StreetNetwork::At(450, 350),
        StreetNetwork::At(-50, 350), StreetNetwork::At(-50, -150)},
       {}}};
  const PanoramaPlan plan = PlanOf(AddOtherDates(finder, FindInArea(finder, town, 50)));
  ASSERT_GT(plan.size(), 400u);
  PanoramaPlan reversed(plan.rbegin(), plan.rend());
  for (int count : {1, 2, 3, 7}) {
    std::set<std::string> all;
    std::size_t total = 0;
    for (int index = 1; index <= count; ++index) {
      const PanoramaPlan part = PlanPart(plan, {index, count});
      total += part.size();
      for (const PlanRow& row : part)
        all.insert(row.PanoId);
      EXPECT_EQ(PlanPart(reversed, {index, count}).size(), part.size())
          << "the part does not depend on the plan's order";
      if (count > 1) {
        EXPECT_LT(part.size(), plan.size() * 2 / count) << "roughly even";
      }
    }
    EXPECT_EQ(total, plan.size()) << "disjoint";
    EXPECT_EQ(all.size(), plan.size()) << "complete";
  }
}

TEST(PlanShard, ParsesKOfN) {
  EXPECT_EQ(ParsePlanShard("2/5")->Index, 2);
  EXPECT_EQ(ParsePlanShard("5/5")->Count, 5);
  for (const char* bad :
       {"0/5", "6/5", "1/0", "1/", "/2", "a/b", "1/2/3", "1-2", " 1/2", "1/100001", "-1/2"})
    EXPECT_FALSE(ParsePlanShard(bad)) << bad;
}

TEST(PlanPathFor, NamesThePlanAndEachPart) {
  EXPECT_EQ(PlanPathFor("/d", "town", std::nullopt), "/d/town_plan.csv");
  EXPECT_EQ(PlanPathFor("/d/", "town", PlanShard{2, 4}), "/d/town_part2of4_plan.csv");
}

}  // namespace
}  // namespace korvane
