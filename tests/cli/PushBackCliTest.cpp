#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "PanoramaSizes.h"
#include "download/AdaptiveConcurrency.h"
#include "download/DownloadLimits.h"
#include "download/Placeholder.h"
#include "korvane-cli/KorvaneCli.h"
#include "net/FailureTexts.h"
#include "net/PushBack.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "support/InProcessCli.h"
#include "support/StandinFixture.h"
#include "support/TextContains.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;

// Zoom 2 of a large panorama: 4 x 2 tiles, one for each of the eight workers.
constexpr int GridTiles = 8;
constexpr const char* Zoom = "2";
constexpr const char* Task = "street";

int TileFiles(const std::string& folder) {
  int tiles = 0;
  if (!fs::exists(folder)) return 0;
  for (const auto& entry : fs::directory_iterator(folder))
    tiles += entry.path().extension() == ".jpg";
  return tiles;
}

int CountOf(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// A whole current-protocol task through korvane-cli against a stand-in that pushes back.
class PushBackCli : public InProcessCli<> {
 protected:
  explicit PushBackCli(const std::string& plan) : InProcessCli(plan, 2) {
    program.WriteConfig(standin.CurrentServiceConfig());
    const auto point = standin::PointOfSize(standin::PanoramaSize::Large, 48.8584, 2.2945);
    EXPECT_TRUE(point);
    latitude_ = FloatToStr(point->first, '.');
    longitude_ = FloatToStr(point->second, '.');
  }

  int RunTask() {
    return RunCli({"--task", Task, "--lat", latitude_, "--lon", longitude_, "--zoom", Zoom,
                   "--path", save.Path()});
  }
  std::string FailedList() const { return ReadFileBytes(save.Path() + Task + "_failed.ftl"); }
  std::string TileFolder() const { return save.Path() + Task; }
  // The nominal pauses of at least this length.
  long long PausesFrom(long long ms) const {
    const auto pauses = clock.PausesMs();
    return std::count_if(pauses.begin(), pauses.end(), [ms](long long p) { return p >= ms; });
  }

 private:
  std::string latitude_;
  std::string longitude_;
};

// Each stops the task with the refusing line naming the reply: no substitute, nothing listed.
struct StormCase {
  const char* Name;
  const char* Plan;
  const char* Reply;
};
void PrintTo(const StormCase& storm, std::ostream* os) {
  *os << storm.Name;
}

class PushBackStorm : public PushBackCli, public ::testing::WithParamInterface<StormCase> {
 protected:
  PushBackStorm() : PushBackCli(GetParam().Plan) {}
};

TEST_P(PushBackStorm, StopsWithTheLineListsNothingAndExitsIncomplete) {
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << err.str();
  const std::string printed = out.str();
  EXPECT_TRUE(Contains(printed, RefusingLine(GetParam().Reply))) << printed;
  EXPECT_FALSE(Contains(printed, "got a blank image!"));
  EXPECT_FALSE(Contains(printed, "got a invalid image!"));
  EXPECT_FALSE(Contains(printed, BannedLine));
  EXPECT_EQ(FailedList(), "");
  EXPECT_EQ(TileFiles(TileFolder()), 0);
  EXPECT_EQ(CountOf(printed, "The service is refusing requests"), 1) << printed;
  // One back-off for the whole task: down to one request in flight, then pauses growing to the
  // cap, until about four minutes of refusals; some forty requests, not a storm per worker.
  int tileRequests = 0;
  for (const auto& request : standin.Requests())
    tileRequests += request.Target.starts_with("/v1/tile?");
  EXPECT_LE(tileRequests, 6 * GridTiles);
  const auto pauses = clock.PausesMs();
  long long waited = 0;
  for (long long pause : pauses) {
    EXPECT_GE(pause, FirstPushBackPause.count());
    EXPECT_LE(pause, LongestPushBackPause.count());
    waited += pause;
  }
  // The pause set by the last refusal is not served: the task stops instead.
  EXPECT_GE(waited, (RefusalPatience - LongestPushBackPause).count());
}

INSTANTIATE_TEST_SUITE_P(
    Replies, PushBackStorm,
    ::testing::Values(
        StormCase{"TooMany", "tile every status 429\n", "429 Too Many Requests"},
        StormCase{"Interstitial", "tile every html\n", "200 OK (text/html; charset=UTF-8)"},
        StormCase{"Sorry", "tile every sorry\n", "302 Found"},
        StormCase{"Consent", "tile every status 302 location=https://consent.example.test/m\n",
                  "302 Found"},
        StormCase{"Unavailable", "tile every status 503 retry-after=1\n",
                  "503 Service Unavailable"}),
    [](const auto& info) { return std::string(info.param.Name); });

class TooManyRequestsStorm : public PushBackCli {
 protected:
  TooManyRequestsStorm() : PushBackCli("tile every status 429\n") {}
};

TEST_F(TooManyRequestsStorm, ALaterContinueCompletes) {
  ASSERT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << err.str();
  ASSERT_EQ(TileFiles(TileFolder()), 0);

  StandinFixture healthy("", 2);
  program.WriteConfig(healthy.CurrentServiceConfig());
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), GridTiles);
  EXPECT_EQ(FailedList(), "");
  // Tiles go out as a current browser asks: no old home page, no empty cookie line.
  for (const auto& request : healthy.Requests()) {
    if (!request.Target.starts_with("/v1/tile?")) continue;
    EXPECT_NE(request.Bytes.find("\r\nAccept: */*\r\n"), std::string::npos);
    EXPECT_NE(request.Bytes.find("\r\nConnection: keep-alive\r\n"), std::string::npos);
    EXPECT_EQ(request.Bytes.find("Referer"), std::string::npos);
    EXPECT_EQ(request.Bytes.find("Cookie"), std::string::npos);
  }
}

class RetryAfterNamed : public PushBackCli {
 protected:
  RetryAfterNamed() : PushBackCli("tile first 2 status 429 retry-after=7\n") {}
};

TEST_F(RetryAfterNamed, EachRefusedTileWaitsWhatTheServiceAsks) {
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Complete)) << err.str();
  EXPECT_EQ(TileFiles(TileFolder()), GridTiles);
  // The first refusals make the next request wait what the service asked while the others wait
  // behind it; the refusals of the requests after that wait make the next one wait again.
  EXPECT_GE(PausesFrom(7000), 2);
  EXPECT_EQ(standin.Requests().size(), 1u + 3u * GridTiles);  // the lookup, three per tile
  EXPECT_FALSE(Contains(out.str(), "refusing"));
}

class UnavailableForAWhile : public PushBackCli {
 protected:
  UnavailableForAWhile() : PushBackCli("tile first 1 status 503 retry-after=3\n") {}
};

TEST_F(UnavailableForAWhile, ABusyServiceIsWaitedForAndNothingIsSubstituted) {
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Complete)) << err.str();
  EXPECT_GE(PausesFrom(3000), 1);
  EXPECT_FALSE(Contains(out.str(), "got a blank image!"));
}

class RetiredPanorama : public PushBackCli {
 protected:
  RetiredPanorama() : PushBackCli("tile every placeholder\n") {}
};

TEST_F(RetiredPanorama, PlaceholdersAreListedNotKeptAndTheEndSaysToLookUpAgain) {
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << err.str();
  const std::string printed = out.str();
  EXPECT_EQ(CountOf(printed, PlaceholderLineEnd), GridTiles) << printed;
  EXPECT_TRUE(Contains(printed, ":0-0 got a blank placeholder from the service\n"));
  EXPECT_TRUE(Contains(printed, RetiredPanoramaLine));
  EXPECT_EQ(TileFiles(TileFolder()), 0);
  const std::string listed = FailedList();
  EXPECT_EQ(CountOf(listed, "\r\n"), GridTiles);

  // The re-download meets the same placeholders and says the same.
  EXPECT_EQ(RunCli({"--retry", save.Path() + Task + "_failed.ftl"}),
            ExitCode(ExitStatus::Incomplete))
      << err.str();
  EXPECT_EQ(CountOf(out.str(), PlaceholderLineEnd), GridTiles);
  EXPECT_TRUE(Contains(out.str(), std::string(RetiredPanoramaLine) + "\nDownload End.\n"));
  EXPECT_EQ(TileFiles(TileFolder()), 0);
}

class OnePlaceholder : public PushBackCli {
 protected:
  OnePlaceholder() : PushBackCli("tile x=1 y=0 every placeholder\n") {}
};

TEST_F(OnePlaceholder, AFewPlaceholdersDoNotCallThePanoramaRetired) {
  EXPECT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << err.str();
  EXPECT_EQ(CountOf(out.str(), PlaceholderLineEnd), 1);
  EXPECT_FALSE(Contains(out.str(), RetiredPanoramaLine));
  EXPECT_EQ(TileFiles(TileFolder()), GridTiles - 1);
}

// A tile given up as a placeholder, refused when the re-download asks for it again.
class PlaceholderThenRefused : public PushBackCli {
 protected:
  PlaceholderThenRefused()
      : PushBackCli(
            "tile x=1 y=0 first 1 placeholder\ntile x=1 y=0 every status 429 retry-after=2\n") {}
};

// The re-download backs off as the task does and asks as a current browser asks; when the
// refusal lasts it ends with its own line and exits incomplete.
TEST_F(PlaceholderThenRefused, TheReDownloadWaitsOutPushBackThenStopsWithTheList) {
  ASSERT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << err.str();
  const std::size_t taskRequests = standin.Requests().size();
  EXPECT_EQ(RunCli({"--retry", save.Path() + Task + "_failed.ftl"}),
            ExitCode(ExitStatus::Incomplete));
  EXPECT_TRUE(Contains(out.str(), std::string(RefusingStart) + "429 Too Many Requests" +
                                      RefusingRetryEnd + "\nDownload End.\n"))
      << out.str();
  const auto requests = standin.Requests();
  ASSERT_EQ(requests.size() - taskRequests, static_cast<std::size_t>(PushBackAttempts));
  for (std::size_t i = taskRequests; i < requests.size(); ++i)
    EXPECT_NE(requests[i].Bytes.find("\r\nAccept: */*\r\n"), std::string::npos);
  EXPECT_EQ(PausesFrom(2000), PushBackAttempts - 1);
}

}  // namespace
}  // namespace korvane::test
