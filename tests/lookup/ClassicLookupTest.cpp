#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lookup/ClassicLookup.h"
#include "net/HttpErrors.h"
#include "net/ServiceAddresses.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/RecordingClock.h"
#include "support/RefusingPort.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

using Lines = std::vector<std::string>;
using Pauses = std::vector<long long>;

constexpr double Latitude = 48.8566;
constexpr double Longitude = 2.3522;
constexpr const char* Getting = "Getting pano_id now, please wait...";

class LookUpPanoramaTest : public ::testing::Test {
 protected:
  void StartService(const std::string& plan) {
    standin = std::make_unique<StandinFixture>(plan);
    program.WriteConfig(standin->ServiceConfig());
  }
  // A service whose servers all sit on a loopback port that refuses every connection.
  void StartDeadService() {
    std::string config = "[Service]\r\n";
    for (int server = 0; server < 4; ++server)
      config += "Server" + std::to_string(server) + "=" + refusingPort.HostPort() + "\r\n";
    program.WriteConfig(config);
  }

  std::string Lookup() {
    return LookUpPanorama(client, Latitude, Longitude,
                          [this](const std::string& line) { lines.push_back(line); });
  }
  std::string Address() const { return MetadataUrl(Latitude, Longitude); }
  int Requests() const { return standin->CountRequests(Address()); }
  std::string AnswerFile() const { return program.Path() + "ini/temp.xml"; }

  RecordingClock clock;
  TempProgramFolder program;
  std::unique_ptr<StandinFixture> standin;
  RefusingPort refusingPort;
  HttpClient client;
  Lines lines;
};

TEST_F(LookUpPanoramaTest, Answer_IdFromTheFirstLineAndTheAnswerKept) {
  StartService("");
  const std::string id = Lookup();
  EXPECT_EQ(id.size(), 22u);
  const std::string answer = ReadFileBytes(AnswerFile());
  EXPECT_NE(answer.find("pano_id=\"" + id + "\""), std::string::npos);
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_TRUE(clock.PausesMs().empty());

  const auto requests = standin->Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Target, "/cbk?output=xml&ll=48.8566,2.3522");
  // Browser headers, but no cookie line and no proxy.
  const std::string& bytes = requests[0].Bytes;
  EXPECT_NE(bytes.find("\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"),
            std::string::npos);
  EXPECT_EQ(bytes.find("Cookie"), std::string::npos);
  EXPECT_EQ(bytes.find("Proxy-"), std::string::npos);
}

TEST(PanoIdFromAnswer, CutsTwentyTwoCharactersAfterTheQuote) {
  EXPECT_EQ(PanoIdFromAnswer("<x a=\"1\" pano_id=\"0123456789abcdefghijkl\" b=\"2\">\r\nrest"),
            "0123456789abcdefghijkl");
  EXPECT_EQ(PanoIdFromAnswer("pano_id='0123456789abcdefghijklmnop'"), "0123456789abcdefghijkl");
  // Only the first line counts; lines also end at a lone CR.
  EXPECT_EQ(PanoIdFromAnswer("<?xml?>\npano_id=\"0123456789abcdefghijkl\""), "");
  EXPECT_EQ(PanoIdFromAnswer("<?xml?>\rpano_id=\"0123456789abcdefghijkl\""), "");
  // A line that ends early gives what remains; the marker alone gives nothing.
  EXPECT_EQ(PanoIdFromAnswer("pano_id=\"short"), "short");
  EXPECT_EQ(PanoIdFromAnswer("pano_id=\""), "");
  EXPECT_EQ(PanoIdFromAnswer("pano_id="), "");
  EXPECT_EQ(PanoIdFromAnswer("PANO_ID=\"0123456789abcdefghijkl\""), "");
  EXPECT_EQ(PanoIdFromAnswer(""), "");
}

TEST_F(LookUpPanoramaTest, TextThatIsNoId_NoPanorama) {
  const auto idOf = [](const std::string& answer) {
    return LookUpPanoramaWith([&answer](const std::string&, std::string& body) { body = answer; },
                              Latitude, Longitude, [](const std::string&) {}, {});
  };
  EXPECT_EQ(idOf("<p pano_id=\"0123456789abcdefghij-_\" x=\"1\"/>"), "0123456789abcdefghij-_");
  EXPECT_EQ(idOf("<p pano_id=\"short\" x=\"1\"/>"), "") << "cut with the quote after it";
  EXPECT_EQ(idOf("<p pano_id=\"../../../etc/passwd&x=1\"/>"), "");
  const char withNul[] = "<p pano_id=\"0123456789abcdefghi\0jk\"/>";
  EXPECT_EQ(idOf(std::string(withNul, sizeof withNul - 1)), "");
}

TEST_F(LookUpPanoramaTest, NoPanorama_EmptyIdWithoutALine) {
  StartService("metadata every nocoverage");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_TRUE(FileExists(AnswerFile()));
}

TEST_F(LookUpPanoramaTest, EmptyAnswer_EmptyIdInsteadOfAnError) {
  StartService("metadata every empty");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_EQ(ReadFileBytes(AnswerFile()), "");
}

TEST_F(LookUpPanoramaTest, RefusedFourTimes_ThreeSilentPausesThenTheBanLine) {
  StartService("metadata every status 403");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, (Lines{Getting, "Error: may be your IP is banned.\nPlease try again later."}));
  EXPECT_EQ(Requests(), 4);
  EXPECT_EQ(clock.PausesMs(), Pauses(3, 500));
  EXPECT_FALSE(FileExists(AnswerFile()));
}

TEST_F(LookUpPanoramaTest, NotFound_OneAttemptOneLine) {
  StartService("metadata every status 404");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, (Lines{Getting, Address() + ":Error: the url is not found on server."}));
  EXPECT_EQ(Requests(), 1);
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST_F(LookUpPanoramaTest, ResetEveryTime_ThirtyAttemptsThenGivesUp) {
  StartService("metadata every reset");
  EXPECT_EQ(Lookup(), "");
  Lines expected{Getting};
  for (int i = 0; i < 30; ++i)
    expected.push_back("Socket Error # 10054\r\nConnection reset by peer.->" + Address());
  expected.push_back("Failed to get the pano_id.");
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(Requests(), 30);
  EXPECT_EQ(clock.PausesMs(), Pauses(29, 500));
}

TEST_F(LookUpPanoramaTest, SharedCounter_RefusalAfterFiveResetsGivesUpAtOnce) {
  StartService("metadata first 5 reset\nmetadata every status 403");
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines.size(), 1u + 5u + 1u);
  EXPECT_EQ(lines.back(), "Error: may be your IP is banned.\nPlease try again later.");
  EXPECT_EQ(Requests(), 6);
  EXPECT_EQ(clock.PausesMs(), Pauses(5, 500));
}

TEST_F(LookUpPanoramaTest, SucceedsAfterResets_IdFromTheLastAnswer) {
  StartService("metadata first 2 close");
  EXPECT_EQ(Lookup().size(), 22u);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[1], "Connection Closed Gracefully.->" + Address());
  EXPECT_EQ(Requests(), 3);
}

TEST_F(LookUpPanoramaTest, NetworkDown_FourAttemptsThenTheNetworkLine) {
  StartDeadService();
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, (Lines{Getting, "Error: your network is with problem."}));
  EXPECT_EQ(clock.PausesMs(), Pauses(3, 500));
}

TEST_F(LookUpPanoramaTest, OtherError_TenAttemptsLinesOnTheRetriesOnly) {
  StartService("metadata every status 500");
  EXPECT_EQ(Lookup(), "");
  Lines expected{Getting};
  for (int i = 0; i < 9; ++i)
    expected.push_back("500 Internal Server Error->" + Address());
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(Requests(), 10);
  EXPECT_EQ(clock.PausesMs(), Pauses(9, 500));
}

TEST_F(LookUpPanoramaTest, ABusyServiceWhoseReasonNamesAnotherStatus_IsAnOtherError) {
  StartService("");
  int calls = 0;
  const std::string id = LookUpPanoramaWith(
      [&](const std::string&, std::string&) {
        ++calls;
        throw HttpStatusError(503, "503 Try again in 403 seconds");
      },
      Latitude, Longitude, [this](const std::string& line) { lines.push_back(line); }, {});
  EXPECT_EQ(id, "");
  EXPECT_EQ(calls, 10) << "the attempts of any other error, not the four of a ban";
  Lines expected{Getting};
  for (int i = 0; i < 9; ++i)
    expected.push_back("503 Try again in 403 seconds->" + Address());
  EXPECT_EQ(lines, expected);
}

TEST_F(LookUpPanoramaTest, FailureWithoutText_FourSilentAttempts) {
  StartService("");
  int calls = 0;
  const std::string id = LookUpPanoramaWith(
      [&](const std::string&, std::string&) {
        ++calls;
        throw 42;
      },
      Latitude, Longitude, [this](const std::string& line) { lines.push_back(line); }, {});
  EXPECT_EQ(id, "");
  EXPECT_EQ(calls, 4);
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_EQ(clock.PausesMs(), Pauses(3, 500));
}

// A stop aborts the request in flight: its failure is no failure of the service, so the
// table neither writes its line nor pauses nor tries again.
TEST_F(LookUpPanoramaTest, StoppedDuringAnAttempt_GivesUpAtOnceWithoutALine) {
  StartService("");
  bool stopped = false;
  int calls = 0;
  const std::string id = LookUpPanoramaWith(
      [&](const std::string&, std::string&) {
        ++calls;
        stopped = true;
        throw HttpStatusError(500, "500 Internal Server Error");
      },
      Latitude, Longitude, [this](const std::string& line) { lines.push_back(line); },
      [&stopped] { return stopped; });
  EXPECT_EQ(id, "");
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_TRUE(clock.PausesMs().empty());

  // An abort that came before the lookup: not a single request.
  lines.clear();
  client.Abort();
  EXPECT_EQ(Lookup(), "");
  EXPECT_EQ(lines, Lines{Getting});
  EXPECT_EQ(Requests(), 0);
}

TEST_F(LookUpPanoramaTest, AnswerFileCannotBeWritten_Raises) {
  StartService("");
  std::filesystem::create_directory(AnswerFile());
  EXPECT_THROW(Lookup(), FileCreateError);
}

}  // namespace
}  // namespace korvane::test
