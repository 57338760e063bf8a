#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "session/StartRules.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(StartRules, ZoomTextMustBeAWholeNumber) {
  EXPECT_EQ(ConvertZoomText("3"), 3);
  EXPECT_EQ(ConvertZoomText("18"), 18);
  EXPECT_THROW(ConvertZoomText("3.5"), EConvertError);
  EXPECT_THROW(ConvertZoomText(""), EConvertError);
}

TEST(StartRules, CoordinatesAcceptCommasAndTakeTheLeadingNumber) {
  EXPECT_DOUBLE_EQ(ConvertCoordinateText("48,8566"), 48.8566);
  EXPECT_DOUBLE_EQ(ConvertCoordinateText("1,234,5"), 1.234);
  EXPECT_EQ(ConvertCoordinateText("abc"), 0);
  EXPECT_EQ(ConvertCoordinateText(""), 0);
}

TEST(StartRules, RangeChecksAcceptTheBoundsAndTestLongitudeFirst) {
  EXPECT_FALSE(CheckCoordinateRanges(180, 85));
  EXPECT_FALSE(CheckCoordinateRanges(-180, -85));
  EXPECT_EQ(CheckCoordinateRanges(180.5, 0), LongitudeRangeMessage);
  EXPECT_EQ(CheckCoordinateRanges(0, 85.1), LatitudeRangeMessage);
  EXPECT_EQ(CheckCoordinateRanges(-200, 90), LongitudeRangeMessage);
  EXPECT_EQ(std::string(LongitudeRangeMessage), "Longitude should be between -180 and 180.");
  EXPECT_EQ(std::string(LatitudeRangeMessage), "Latitude should be between -85 and 85.");
}

TEST(StartRules, TaskFileNameGetsKrvnUnlessItEndsExactlyInIt) {
  EXPECT_EQ(TaskFileNameFor("berlin"), "berlin.krvn");
  EXPECT_EQ(TaskFileNameFor("berlin.krvn"), "berlin.krvn");
  EXPECT_EQ(TaskFileNameFor("berlin.KRVN"), "berlin.KRVN.krvn");
  EXPECT_EQ(TaskFileNameFor(""), ".krvn");
  EXPECT_EQ(TaskFileNameFor("a.krvn/b"), "a.krvn/b.krvn");
}

class ResumeTest : public ::testing::Test {
 protected:
  test::TempFolder save;
  ResumeCandidate candidate;

  ResumeTest() {
    WriteFileBytes(save.Path() + "berlin.krvn",
                   "[MapsType]\r\nMapsType=32\r\n[AREA]\r\nLatitude=52.52\r\nLongitude=13.4\r\n"
                   "[Pano]\r\nPano_id=ABC\r\n[Zoom]\r\nZoom=3\r\n\r\n");
    candidate.SavePath = save.Path();
    candidate.TaskFileName = "berlin.krvn";
    candidate.TypedLongitude = "13.4";
    candidate.TypedLatitude = "52.52";
    candidate.TypedZoom = "3";
    candidate.TypedPath = save.Path();
    candidate.TypedTaskName = "berlin.krvn";
    candidate.PanoId = "ABC";
  }
};

TEST_F(ResumeTest, AllSevenComparisonsHold) {
  EXPECT_TRUE(IsContinuedTask(candidate));
  candidate.TypedPath = save.Path().substr(0, save.Path().size() - 1);
  EXPECT_TRUE(IsContinuedTask(candidate)) << "the typed folder gets its trailing delimiter";
}

TEST_F(ResumeTest, EachDifferenceStartsTheTaskAnew) {
  auto differs = [this](auto change) {
    ResumeCandidate changed = candidate;
    change(changed);
    return !IsContinuedTask(changed);
  };
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedLongitude = "13.40"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedLatitude = "52,52"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.PanoId = "ABD"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedZoom = "03"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedZoom = " 3"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedPath = "/elsewhere/"; }));
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TypedTaskName = "berlin"; }))
      << "a name typed without .krvn never continues";
  EXPECT_TRUE(differs([](ResumeCandidate& c) { c.TaskFileName = "paris.krvn"; }));
}

// A task started by id continues under any typed place with the same id, and only as one
// asked for by id: a place that happens to find the same id starts anew.
TEST_F(ResumeTest, ATaskStartedByIdContinuesOnlyByIdWhateverPlaceIsTyped) {
  candidate.ById = true;
  EXPECT_FALSE(IsContinuedTask(candidate)) << "the task file was not started by id";
  WriteFileBytes(save.Path() + "berlin.krvn",
                 "[MapsType]\r\nMapsType=32\r\n[AREA]\r\nLatitude=52.5201\r\nLongitude=13.4\r\n"
                 "[Pano]\r\nPano_id=ABC\r\nById=1\r\n[Zoom]\r\nZoom=3\r\n\r\n");
  candidate.TypedLatitude = "";
  candidate.TypedLongitude = "";
  EXPECT_TRUE(IsContinuedTask(candidate));
  candidate.PanoId = "ABD";
  EXPECT_FALSE(IsContinuedTask(candidate));
  candidate.PanoId = "ABC";
  candidate.ById = false;
  candidate.TypedLatitude = "52.5201";
  candidate.TypedLongitude = "13.4";
  EXPECT_FALSE(IsContinuedTask(candidate));
}

TEST_F(ResumeTest, MapsTypeMustBe32AndAMissingZoomNeverMatches) {
  WriteFileBytes(save.Path() + "berlin.krvn",
                 "[AREA]\r\nLatitude=52.52\r\nLongitude=13.4\r\n[Pano]\r\nPano_id=ABC\r\n");
  EXPECT_FALSE(IsContinuedTask(candidate));
  candidate.TypedZoom = "100";
  EXPECT_FALSE(IsContinuedTask(candidate));
}

}  // namespace
}  // namespace korvane
