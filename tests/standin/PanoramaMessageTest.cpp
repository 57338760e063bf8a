#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>

#include "PanoramaId.h"
#include "PanoramaMessage.h"
#include "ServiceAnswers.h"
#include "ServiceRequest.h"
#include "lookup/CurrentLookupAnswer.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;
using Json = nlohmann::json;

constexpr const char* Callback = "_xdc_._v2mub5";

std::pair<double, double> PointAnsweredWhole(bool whole) {
  const auto point = PointAnswered(!whole, 48.8584, 2.2945);
  EXPECT_TRUE(point);
  return point.value_or(std::make_pair(0.0, 0.0));
}

// R of a lookup answer, cut out of the callback as a client does.
Json LookupRoot(double latitude, double longitude) {
  const std::string body = LookupAnswer(Callback, latitude, longitude);
  const std::size_t open = body.find('(');
  return Json::parse(body.substr(open + 1, body.rfind(')') - open - 1));
}

// The stand-in's answer read with plain indices, the way clients of the real service read it:
// each access below throws if the part is not where the real answers have it.
TEST(StandinPanoramaMessage, WholeAnswer_EveryPartAtTheRealIndices) {
  const auto [latitude, longitude] = PointAnsweredWhole(true);
  const Json root = LookupRoot(latitude, longitude);
  ASSERT_EQ(root.at(0).at(0), 0);
  const Json& m = root.at(1);
  const PanoramaCell cell = *CellOf(latitude, longitude);
  EXPECT_EQ(m.at(1).at(1), PanoIdOf(cell));
  EXPECT_EQ(m.at(2).at(2), m.at(2).at(3).at(0).back().at(0));  // the full size
  EXPECT_NEAR(m.at(5).at(0).at(1).at(0).at(2).get<double>(), latitude, 1e-9);
  EXPECT_NEAR(m.at(5).at(0).at(1).at(0).at(3).get<double>(), longitude, 1e-9);
  EXPECT_TRUE(m.at(5).at(0).at(1).at(1).at(0).is_number());  // elevation
  const double heading = m.at(5).at(0).at(1).at(2).at(0);
  EXPECT_GE(heading, 0.0);
  EXPECT_LT(heading, 360.0);
  EXPECT_NEAR(90.0 - m.at(5).at(0).at(1).at(2).at(1).get<double>(), 0.0, 2.0);  // tilt
  EXPECT_NEAR(m.at(5).at(0).at(1).at(2).at(2).get<double>(), 0.0, 1.0);         // roll
  EXPECT_TRUE(m.at(4).at(0).at(0).at(0).at(0).is_string());                     // copyright
  EXPECT_EQ(m.at(3).at(2).size(), 2u);                                          // address
  EXPECT_EQ(m.at(3).at(2).at(0).at(0), "1 Stand-in street");

  // The panorama itself first, then four neighbours, then its two other captures.
  const Json& around = m.at(5).at(0).at(3).at(0);
  ASSERT_EQ(around.size(), 7u);
  EXPECT_EQ(around.at(0).at(0).at(1), PanoIdOf(cell));
  const Json& links = m.at(5).at(0).at(6);
  ASSERT_EQ(links.size(), 4u);
  std::set<double> bearings;
  for (const Json& link : links) {
    const std::string id = around.at(link.at(0).get<std::size_t>()).at(0).at(1);
    EXPECT_NE(id, PanoIdOf(cell));
    bearings.insert(link.at(1).at(3).get<double>());
  }
  EXPECT_EQ(bearings, (std::set<double>{0, 90, 180, 270}));
  // Three dates per place: its own and two more, each an id of the same place.
  const Json& dates = m.at(5).at(0).at(8);
  ASSERT_EQ(dates.size(), 2u);
  std::set<int> years = {m.at(6).at(7).at(0).get<int>()};
  for (const Json& date : dates) {
    const std::string id = around.at(date.at(0).get<std::size_t>()).at(0).at(1);
    EXPECT_EQ(CellOfPanoId(id), cell);
    years.insert(date.at(1).at(0).get<int>());
    const int month = date.at(1).at(1);
    EXPECT_TRUE(month >= 1 && month <= 12);
  }
  EXPECT_EQ(years.size(), 3u);
}

TEST(StandinPanoramaMessage, WholeAnswer_TheProgramsRecordHoldsIt) {
  const auto [latitude, longitude] = PointAnsweredWhole(true);
  const CurrentLookupAnswer answer =
      ParseCurrentLookupAnswer(LookupAnswer(Callback, latitude, longitude));
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  const PanoramaRecord& record = answer.Record;
  EXPECT_EQ(record.PanoId, answer.PanoId);
  EXPECT_TRUE(record.Heading && record.Tilt && record.Roll && record.Elevation);
  EXPECT_NE(record.Copyright, "");
  EXPECT_EQ(record.AddressLines, (std::vector<std::string>{"1 Stand-in street", "Offline"}));
  EXPECT_EQ(record.Links.size(), 4u);
  ASSERT_EQ(record.OtherDates.size(), 2u);
  EXPECT_TRUE(record.OtherDates[0].Date);
  EXPECT_EQ(record.ImageWidth, answer.Sizes.back().Width);
  EXPECT_EQ(record.TileWidth, 512);
}

TEST(StandinPanoramaMessage, AnswerInPart_OnlyWhatADownloadNeeds) {
  const auto [latitude, longitude] = PointAnsweredWhole(false);
  const Json m = LookupRoot(latitude, longitude).at(1);
  EXPECT_TRUE(m.at(2).at(2).is_null());
  EXPECT_TRUE(m.at(4).is_null());
  EXPECT_EQ(m.at(5).at(0).at(1).size(), 2u);  // no orientation
  EXPECT_EQ(m.at(5).at(0).size(), 2u);        // nothing around
  const CurrentLookupAnswer answer =
      ParseCurrentLookupAnswer(LookupAnswer(Callback, latitude, longitude));
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_FALSE(answer.Record.Heading);
  EXPECT_TRUE(answer.Record.Links.empty());
  EXPECT_TRUE(answer.Record.OtherDates.empty());
  EXPECT_EQ(answer.Record.Copyright, "");
  EXPECT_TRUE(answer.Record.Latitude);
  EXPECT_EQ(answer.Record.ImageWidth, answer.Sizes.back().Width);  // from the sizes per zoom
}

TEST(StandinPanoramaMessage, ById_EachCaptureAnswersWithTheOthersAsItsOtherDates) {
  const auto [latitude, longitude] = PointAnsweredWhole(true);
  const PanoramaCell cell = *CellOf(latitude, longitude);
  for (int capture = 0; capture < CapturesPerPlace; ++capture) {
    const std::string id = PanoIdOf(cell, capture);
    const ServiceRequest request = ClassifyRequest(
        "GET",
        "/maps/photometa/v1?authuser=0&hl=en&pb=!1m4!1smaps_sv.tactile!2m2!1sen!2sus!3m3"
        "!1m2!1e2!2s" +
            id + "!4m6!1e1");
    ASSERT_EQ(request.Kind, RequestKind::ById) << request.Problem;
    EXPECT_EQ(request.PanoId, id);
    EXPECT_NEAR(request.Latitude, latitude, 1e-9);

    const std::string body = ByIdAnswer(id);
    EXPECT_EQ(body.rfind(")]}'\n", 0), 0u);
    const CurrentLookupAnswer answer = ParsePanoramaByIdAnswer(body);
    ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
    EXPECT_EQ(answer.PanoId, id);
    const auto [year, month] = CaptureDateOf(cell, capture);
    EXPECT_EQ(answer.Record.Date, (CaptureMonth{year, month}));
    ASSERT_EQ(answer.Record.OtherDates.size(), 2u);
    for (const OtherCapture& other : answer.Record.OtherDates)
      EXPECT_NE(other.PanoId, id);
  }
  EXPECT_EQ(ByIdAnswer("NotAnIdOfThisService"),
            ")]}'\n[[5,\"generic\",\"Search returned no images.\"]]");
  EXPECT_EQ(ParsePanoramaByIdAnswer(ByIdAnswer("NotAnIdOfThisService")).Kind,
            LookupAnswerKind::NoPanorama);
  EXPECT_FALSE(ClassifyRequest("GET", "/maps/photometa/v1?pb=!1m4").Valid());
}

TEST(StandinPanoramaMessage, CapturesAreYearsApartAndTheirIdsTellTheirPlace) {
  const PanoramaCell cell = *CellOf(-33.8568, 151.2153);
  std::set<std::string> ids;
  for (int capture = 0; capture < CapturesPerPlace; ++capture) {
    const std::string id = PanoIdOf(cell, capture);
    ids.insert(id);
    const auto found = CaptureOfPanoId(id);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Cell, cell);
    EXPECT_EQ(found->Capture, capture);
    if (capture > 0) {
      EXPECT_EQ(CaptureDateOf(cell, capture).first, CaptureDateOf(cell, capture - 1).first - 3);
    }
  }
  EXPECT_EQ(ids.size(), 3u);
  EXPECT_FALSE(CaptureOfPanoId(PanoIdOf(cell, CapturesPerPlace)));  // no fourth capture
}

}  // namespace
}  // namespace korvane::test
