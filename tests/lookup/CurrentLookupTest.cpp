#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "PanoramaSizes.h"
#include "lookup/CurrentLookup.h"
#include "lookup/StartLookup.h"
#include "net/FailureTexts.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

using Lines = std::vector<std::string>;
using standin::PanoramaSize;

constexpr const char* Getting = "Getting pano_id now, please wait...";

class CurrentLookupTest : public ::testing::Test {
 protected:
  void StartService(const std::string& plan) {
    standin = std::make_unique<StandinFixture>(plan);
    program.WriteConfig(standin->CurrentServiceConfig());
  }
  void At(PanoramaSize kind) {
    const auto point = standin::PointOfSize(kind, 48.8584, 2.2945);
    ASSERT_TRUE(point);
    latitude = point->first;
    longitude = point->second;
  }
  CurrentLookupAnswer Lookup() {
    return LookUpCurrentPanorama(client, latitude, longitude,
                                 [this](const std::string& line) { lines.push_back(line); });
  }
  StartLookupResult ForStart(int zoom) {
    return LookUpForStart(PanoramaProtocol::Current, client, latitude, longitude, zoom,
                          [this](const std::string& line) { lines.push_back(line); });
  }
  int Requests() const { return standin->CountRequests(CurrentLookupUrl(latitude, longitude)); }
  std::string AnswerFile() const { return program.Path() + "ini/temp.json"; }

  RecordingClock clock;
  TempProgramFolder program;
  std::unique_ptr<StandinFixture> standin;
  double latitude = 48.8584;
  double longitude = 2.2945;
  HttpClient client;
  Lines lines;
};

TEST_F(CurrentLookupTest, Found_OneRequestAnswerKeptAndThePanoramaDescribed) {
  StartService("");
  At(PanoramaSize::Large);
  const StartLookupResult result = ForStart(3);
  ASSERT_FALSE(result.PanoId.empty());
  EXPECT_EQ(result.RefusalMessage, "");
  EXPECT_EQ(result.Protocol, PanoramaProtocol::Current);
  EXPECT_EQ(result.ImageWidth, 4096);
  EXPECT_EQ(result.ImageHeight, 2048);
  EXPECT_EQ(result.TileWidth, 512);
  EXPECT_EQ(result.CaptureDate.size(), 7u);
  EXPECT_EQ(result.PanoramaLine, "Panorama: 4096x2048 at zoom 3, taken " + result.CaptureDate);
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_TRUE(clock.PausesMs().empty());

  const auto requests = standin->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ("http://" + standin->Host() + requests[0].Target,
            CurrentLookupUrl(latitude, longitude));
  EXPECT_NE(requests[0].Target.find("!3d" + FloatToStr(latitude, '.') + "!4d"), std::string::npos);
  EXPECT_EQ(requests[0].Bytes.find("Cookie"), std::string::npos);
  EXPECT_NE(requests[0].Bytes.find("\r\nUser-Agent: Mozilla/5.0 (Windows NT 10.0; Win64; x64)"),
            std::string::npos);
  EXPECT_NE(requests[0].Bytes.find("\r\nAccept: */*\r\n"), std::string::npos);
  EXPECT_NE(requests[0].Bytes.find("\r\nConnection: keep-alive\r\n"), std::string::npos);
  EXPECT_EQ(requests[0].Bytes.find("Referer"), std::string::npos);
  EXPECT_NE(ReadFileBytes(AnswerFile()).find(result.PanoId), std::string::npos);
  // It says where the user looked: for the user only.
  EXPECT_EQ(std::filesystem::status(AnswerFile()).permissions(),
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_FALSE(FileExists(program.Path() + "ini/temp.xml"));
}

TEST_F(CurrentLookupTest, PanoramaWithoutTheZoomLevelIsRefused) {
  StartService("");
  At(PanoramaSize::Small);
  const StartLookupResult result = ForStart(4);
  EXPECT_FALSE(result.PanoId.empty());
  EXPECT_EQ(result.RefusalMessage, "This panorama has no zoom level 4; its highest is 3.");
  EXPECT_EQ(result.PanoramaLine, "");
  EXPECT_EQ(ForStart(3).PanoramaLine.substr(0, 33), "Panorama: 3328x1664 at zoom 3, ta");
  At(PanoramaSize::Medium);
  EXPECT_EQ(ForStart(5).ImageWidth, 13312);
}

TEST_F(CurrentLookupTest, NoCoverageIsNoPanorama) {
  StartService("lookup every nocoverage\n");
  const CurrentLookupAnswer answer = Lookup();
  EXPECT_EQ(answer.Kind, LookupAnswerKind::NoPanorama);
  EXPECT_EQ(answer.Status, 5);
  EXPECT_EQ(ForStart(3).PanoId, "");
  EXPECT_EQ(lines, (Lines{Getting, Getting}));
}

// Push-back (a 429, an HTML page, the sorry redirect) is backed off from, doubling within the
// random half, and ends with the refusing line naming the reply.
TEST_F(CurrentLookupTest, TooManyRequestsIsBackedOffThenNamed) {
  StartService("lookup every status 429\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Unreadable);
  EXPECT_EQ(Requests(), LookupPushBackAttempts);
  EXPECT_EQ(lines, (Lines{Getting, std::string(LookupRefusingStart) + "429 Too Many Requests" +
                                       LookupRefusingEnd}));
  const std::vector<long long> pauses = clock.PausesMs();
  ASSERT_EQ(pauses.size(), static_cast<std::size_t>(LookupPushBackAttempts - 1));
  long long full = 1000;
  for (long long pause : pauses) {
    EXPECT_GE(pause, full / 2);
    EXPECT_LE(pause, full);
    full *= 2;
  }
}

TEST_F(CurrentLookupTest, AWaitTheServiceNamesIsTaken) {
  StartService("lookup first 2 status 429 retry-after=5\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Found);
  EXPECT_EQ(clock.PausesMs(), (std::vector<long long>{5000, 5000}));
  EXPECT_EQ(lines, Lines{Getting});
}

TEST_F(CurrentLookupTest, HtmlPageAndSorryRedirectArePushBack) {
  StartService("lookup every html\n");
  EXPECT_EQ(ForStart(3).PanoId, "");
  EXPECT_EQ(Requests(), LookupPushBackAttempts);
  EXPECT_EQ(lines, (Lines{Getting, std::string(LookupRefusingStart) +
                                       "200 OK (text/html; charset=UTF-8)" + LookupRefusingEnd}));
  lines.clear();
  StartService("lookup every sorry\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Unreadable);
  EXPECT_EQ(lines,
            (Lines{Getting, std::string(LookupRefusingStart) + "302 Found" + LookupRefusingEnd}));
}

TEST_F(CurrentLookupTest, AnHtmlAnswerNotMarkedAsOneIsStillARefusal) {
  const CurrentLookupAnswer answer = LookUpCurrentPanoramaWith(
      [](const std::string&, std::string& body) { body = "<html><body>Sorry</body></html>"; },
      latitude, longitude, [this](const std::string& line) { lines.push_back(line); }, {});
  EXPECT_EQ(answer.Kind, LookupAnswerKind::Refused);
  EXPECT_EQ(lines, (Lines{Getting, BannedLine}));
  EXPECT_EQ(ReadFileBytes(AnswerFile()).substr(0, 6), "<html>");
}

TEST_F(CurrentLookupTest, AnAnswerNotUnderstoodNamesWhereItIsKept) {
  StartService("lookup every truncate 40\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Unreadable);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1],
            "The lookup answer is not understood (no callback around the answer); it is "
            "kept in " +
                AnswerFile());
  EXPECT_EQ(ReadFileBytes(AnswerFile()).size(), 40u);
}

TEST_F(CurrentLookupTest, AnAnswerBeyondTheLookupCapIsRefusedWhileItArrives) {
  StartService("lookup every endless\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Unreadable);
  // Any other error: repeated, each repeat with its line, and nothing is kept.
  EXPECT_EQ(Requests(), 10);
  ASSERT_EQ(lines.size(), 10u);
  EXPECT_EQ(lines[1], "The server's reply body is larger than 2 MiB.->" +
                          CurrentLookupUrl(latitude, longitude));
  EXPECT_FALSE(FileExists(AnswerFile()));
  EXPECT_EQ(client.MaxBodyBytes, MaxLookupAnswerBytes);
}

TEST_F(CurrentLookupTest, ResetsRepeatAsInTheClassicLookup) {
  StartService("lookup first 2 reset\nlookup attempt 3 status 404\n");
  EXPECT_EQ(Lookup().Kind, LookupAnswerKind::Unreadable);
  EXPECT_EQ(Requests(), 3);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[1].find("10054"), std::string::npos);
  EXPECT_EQ(lines[3],
            CurrentLookupUrl(latitude, longitude) + ":Error: the url is not found on server.");
}

TEST(StartLookup, ProtocolNamesAndMessages) {
  EXPECT_EQ(ParsePanoramaProtocol("current"), PanoramaProtocol::Current);
  EXPECT_EQ(ParsePanoramaProtocol("CLASSIC"), PanoramaProtocol::Classic);
  EXPECT_EQ(ParsePanoramaProtocol("Current "), std::nullopt);
  EXPECT_EQ(ParsePanoramaProtocol(""), std::nullopt);
  EXPECT_EQ(UnknownProtocolMessage("cbk"), "Unknown service protocol \"cbk\" in config.ini.");

  TempProgramFolder program;
  EXPECT_EQ(ServiceProtocolText(), "current");
  EXPECT_EQ(LookupBase(), "https://maps.googleapis.com");
  EXPECT_EQ(TileBase(), "https://streetviewpixels-pa.googleapis.com");
  program.WriteConfig("[Service]\r\nProtocol=Classic\r\nLookupBase=http://127.0.0.1:8/\r\n");
  EXPECT_EQ(ServiceProtocolText(), "Classic");
  EXPECT_EQ(LookupBase(), "http://127.0.0.1:8");
  EXPECT_EQ(CurrentLookupUrl(-33.5, 151.25),
            "http://127.0.0.1:8/maps/api/js/GeoPhotoService.SingleImageSearch?pb=!1m5!1sapiv3!5sUS"
            "!11m2!1m1!1b0!2m4!1m2!3d-33.5!4d151.25!2d50!3m10!2m2!1sen!2sGB!9m1!1e2!11m4!1m3!1e2!"
            "2b1!3e2!4m6!1e1!1e2!1e3!1e4!1e8!1e6&callback=_xdc_._v2mub5");
  // The depth map is not asked for: it made nearly all of the answer and nothing reads it.
  EXPECT_EQ(CurrentLookupUrl(-33.5, 151.25).find("!5m1!1e2!6m1!1e2"), std::string::npos);
  EXPECT_NE(CurrentLookupUrl(-33.5, 151.25, 20).find("!4d151.25!2d20!3m10"), std::string::npos);
}

// The by-id request goes to ByIdBase, else to a LookupBase that is set, else to the service's.
TEST(CurrentLookupAddresses, ByIdBaseThenLookupBaseThenTheServices) {
  TempProgramFolder program;
  EXPECT_EQ(PanoramaByIdUrl("AbC"),
            "https://www.google.com/maps/photometa/v1?authuser=0&hl=en&gl=us&pb=!1m4!1smaps_sv."
            "tactile!11m2!2m1!1b1!2m2!1sen!2sus!3m3!1m2!1e2!2sAbC!4m6!1e1!1e2!1e3!1e4!1e8!1e6");
  program.WriteConfig("[Service]\r\nLookupBase=http://127.0.0.1:8/\r\n");
  EXPECT_EQ(ByIdBase(), "http://127.0.0.1:8");
  program.WriteConfig("[Service]\r\nLookupBase=http://127.0.0.1:8/\r\nByIdBase=http://h:9//\r\n");
  EXPECT_EQ(ByIdBase(), "http://h:9");
}

}  // namespace
}  // namespace korvane::test
