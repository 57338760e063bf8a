#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "PanoramaId.h"
#include "PanoramaMessage.h"
#include "lookup/PanoramaRecordLookup.h"
#include "lookup/StartLookup.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

// A place whose answers are whole, so it has neighbours and three dates.
constexpr double Latitude = 48.8584;
constexpr double Longitude = 2.2945;

class PanoramaRecordLookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto point = standin::PointAnswered(false, Latitude, Longitude);
    ASSERT_TRUE(point);
    latitude = point->first;
    longitude = point->second;
    cell = *standin::CellOf(latitude, longitude);
  }
  void Current() { program.WriteConfig(standin.CurrentServiceConfig()); }
  void Classic() { program.WriteConfig(standin.ServiceConfig()); }
  // How many requests of each kind the service saw.
  int Count(const std::string& part) const {
    int count = 0;
    for (const StandinRequest& request : standin.Requests())
      count += request.Target.find(part) != std::string::npos ? 1 : 0;
    return count;
  }
  StartLookupResult ForStart(PanoramaProtocol protocol, const LookupWish& wish) {
    return LookUpForStart(
        protocol, client, latitude, longitude, 2,
        [this](const std::string& line) { lines.push_back(line); }, wish);
  }

  RecordingClock clock;
  TempProgramFolder program;
  StandinFixture standin;
  HttpClient client;
  std::vector<std::string> lines;
  double latitude = 0;
  double longitude = 0;
  standin::PanoramaCell cell;
};

TEST_F(PanoramaRecordLookupTest, Nearest_WithinTheRadiusOrNothing) {
  Current();
  auto nearest = [this](double lat, double lon, double radius) {
    return FindNearestPanoramaRecord(client, PanoramaProtocol::Current, lat, lon, radius);
  };
  const NearestPanorama found = nearest(latitude + 0.0001, longitude, 30);
  ASSERT_TRUE(found.Record);
  EXPECT_TRUE(found.Answered);
  EXPECT_EQ(found.Record->PanoId, standin::PanoIdOf(cell));
  EXPECT_EQ(found.Record->OtherDates.size(), 2u);
  EXPECT_EQ(found.Record->Links.size(), 4u);
  // About 11 m off: inside 30 m, not inside 5 m; no coverage at all up north. Both are answers.
  for (const NearestPanorama& none :
       {nearest(latitude + 0.0001, longitude, 5), nearest(85.0, 0.0, 50)}) {
    EXPECT_FALSE(none.Record);
    EXPECT_TRUE(none.Answered);
  }
  EXPECT_EQ(Count("!2d30!"), 1);  // the radius asked for
  Classic();
  const NearestPanorama classic =
      FindNearestPanoramaRecord(client, PanoramaProtocol::Classic, latitude, longitude, 50);
  ASSERT_TRUE(classic.Record);
  EXPECT_EQ(classic.Record->Protocol, PanoramaProtocol::Classic);
  EXPECT_EQ(classic.Record->PanoId, standin::PanoIdOf(cell));
}

TEST_F(PanoramaRecordLookupTest, Nearest_ALookupThatGivesUpIsNoAnswer) {
  StandinFixture failing("lookup every html\n");  // a consent page, not an answer
  program.WriteConfig(failing.CurrentServiceConfig());
  const NearestPanorama none =
      FindNearestPanoramaRecord(client, PanoramaProtocol::Current, latitude, longitude, 50);
  EXPECT_FALSE(none.Record);
  EXPECT_FALSE(none.Answered);
}

TEST_F(PanoramaRecordLookupTest, ById_CurrentOnly) {
  Current();
  const std::string older = standin::PanoIdOf(cell, 2);
  const auto found = FindPanoramaRecordById(client, PanoramaProtocol::Current, older);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->PanoId, older);
  const auto [year, month] = standin::CaptureDateOf(cell, 2);
  EXPECT_EQ(found->Date, (CaptureMonth{year, month}));
  EXPECT_FALSE(FindPanoramaRecordById(client, PanoramaProtocol::Current, "NotAnIdOfThisService"));
  EXPECT_FALSE(FindPanoramaRecordById(client, PanoramaProtocol::Current, "not/an/id"));
  EXPECT_EQ(Count("/maps/photometa/v1"), 2);  // the id that is no id was never sent
  Classic();
  EXPECT_FALSE(FindPanoramaRecordById(client, PanoramaProtocol::Classic, older));
  EXPECT_EQ(Count("/maps/photometa/v1"), 2);
}

TEST_F(PanoramaRecordLookupTest, StartById_TheIdIsAskedForAndThePlaceNeverLookedUp) {
  Current();
  const std::string older = standin::PanoIdOf(cell, 1);
  const StartLookupResult found = ForStart(PanoramaProtocol::Current, {older, std::nullopt});
  EXPECT_EQ(found.PanoId, older);
  EXPECT_TRUE(found.ById);
  EXPECT_EQ(found.Record.PanoId, older);
  EXPECT_EQ(found.ImageWidth, 2048);
  EXPECT_EQ(Count("SingleImageSearch"), 0);
  EXPECT_EQ(Count("!1e2!2s" + older + "!"), 1);

  Classic();
  const StartLookupResult classic = ForStart(PanoramaProtocol::Classic, {older, std::nullopt});
  EXPECT_EQ(classic.PanoId, "");
  EXPECT_EQ(classic.RefusalMessage,
            "Looking a panorama up by its id is not offered by the classic protocol.");
  EXPECT_EQ(Count("/cbk"), 0);
}

TEST_F(PanoramaRecordLookupTest, StartForAMonth_ThatCaptureOrTheNearestAndALineSaysWhich) {
  Current();
  for (int capture = 0; capture < standin::CapturesPerPlace; ++capture) {
    const auto [year, month] = standin::CaptureDateOf(cell, capture);
    lines.clear();
    const StartLookupResult found =
        ForStart(PanoramaProtocol::Current, {"", CaptureMonth{year, month}});
    EXPECT_EQ(found.PanoId, standin::PanoIdOf(cell, capture));
    EXPECT_FALSE(found.ById);
    EXPECT_NE(std::find(lines.begin(), lines.end(),
                        "Capture of " + found.CaptureDate + ": " + found.PanoId),
              lines.end());
  }
  EXPECT_EQ(Count("/maps/photometa/v1"), 2);  // the newest needs no second request
  lines.clear();
  const auto [newestYear, newestMonth] = standin::CaptureDateOf(cell, 0);
  const StartLookupResult later =
      ForStart(PanoramaProtocol::Current, {"", CaptureMonth{newestYear + 5, newestMonth}});
  EXPECT_EQ(later.PanoId, standin::PanoIdOf(cell, 0));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back().rfind("No capture of ", 0), 0u) << lines.back();
}

}  // namespace
}  // namespace korvane::test
