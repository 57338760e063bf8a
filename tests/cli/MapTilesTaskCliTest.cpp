#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "PanoramaSizes.h"
#include "download/AdaptiveConcurrency.h"
#include "download/DownloadLimits.h"
#include "korvane-cli/KorvaneCli.h"
#include "net/FailureTexts.h"
#include "net/PushBack.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "support/CertificateFiles.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"
#include "support/TileFiles.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;
using standin::PanoramaSize;

// A key distinctive enough that finding it anywhere is a leak.
constexpr const char* Key = "Kv-secret-key_4711.standin";
constexpr const char* BadKeyLine = "Map Tiles API: API key not valid. Please pass a valid API key.";
constexpr const char* Task = "official";

std::vector<std::string> StandinArguments(const CertificateFiles& files,
                                          std::vector<std::string> more) {
  std::vector<std::string> arguments = {"--tls", files.CertificateFile(), files.KeyFile()};
  arguments.insert(arguments.end(), more.begin(), more.end());
  return arguments;
}

void ExpectNoFileHolds(const std::string& folder, const std::string& secret) {
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (!entry.is_regular_file()) continue;
    EXPECT_FALSE(Contains(ReadFileBytes(entry.path().string()), secret)) << entry.path();
  }
}

// Whole tasks of the Map Tiles API through korvane-cli, against the stand-in over TLS.
class MapTilesCli : public ::testing::Test {
 protected:
  explicit MapTilesCli(std::vector<std::string> standinArguments = {"--api-key", Key},
                       const std::string& plan = "")
      : standin(plan, 1, StandinArguments(files, std::move(standinArguments))) {
    program.WriteConfig(Config(std::string("ApiKey=") + Key + "\r\n"));
    const auto point = standin::PointOfSize(PanoramaSize::Large, 48.8584, 2.2945);
    EXPECT_TRUE(point);
    latitude_ = FloatToStr(point->first, '.');
    longitude_ = FloatToStr(point->second, '.');
  }

  std::string Base() const { return "https://127.0.0.1:" + std::to_string(standin.Port()); }
  std::string Config(const std::string& keyLine) const {
    return "[Service]\r\nProtocol=maptiles\r\nMapTilesBase=" + Base() +
           "\r\nCAFile=" + files.CaFile() + "\r\n" + keyLine;
  }

  // A task continues when its name is typed with the task file's extension.
  int Run(const std::string& zoom, std::vector<std::string> more = {},
          const std::string& task = Task) {
    std::vector<std::string> arguments = {"--task",   task,     "--lat", latitude_, "--lon",
                                          longitude_, "--zoom", zoom,    "--path",  save.Path()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunCli(arguments);
  }
  int RunCli(const std::vector<std::string>& arguments) {
    out.str("");
    err.str("");
    return ExitCode(RunKorvaneCli(arguments, out, err));
  }

  int RequestsTo(const std::string& pathStart) const {
    int count = 0;
    for (const StandinRequest& request : standin.Requests())
      count += request.Target.starts_with(pathStart);
    return count;
  }
  std::string FailedList() const { return ReadFileBytes(save.Path() + Task + "_failed.ftl"); }
  std::string TileFolder() const { return save.Path() + Task; }

  RecordingClock clock{100};
  CertificateFiles files;
  StandinFixture standin;
  TempProgramFolder program;
  TempFolder save;
  std::ostringstream out;
  std::ostringstream err;

 private:
  std::string latitude_;
  std::string longitude_;
};

TEST_F(MapTilesCli, ZoomThreeCompletesWithOneSessionAndTheBillingLine) {
  // --stitch: the combiner takes the task as one of today's protocol (its grid, its size).
  ASSERT_EQ(Run("3", {"--stitch"}), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), 32);
  EXPECT_EQ(FailedList(), "");
  EXPECT_TRUE(Contains(out.str(), "\nPanorama: 4096x2048 at zoom 3, taken ")) << out.str();
  EXPECT_TRUE(
      Contains(out.str(), "Requests sent to the Map Tiles API: 1 session, 1 metadata, 32 tiles."))
      << out.str();
  EXPECT_EQ(TIniFile(save.Path() + Task + ".krvn").ReadInteger("MapsType", "MapsType", 0), 34);
  EXPECT_EQ(RequestsTo("/v1/createSession"), 1);
  EXPECT_EQ(RequestsTo("/v1/streetview/metadata"), 1);
  EXPECT_EQ(RequestsTo("/v1/streetview/tiles/3/"), 32);
}

TEST_F(MapTilesCli, ZoomFiveCompletesAtOneRequestPerTile) {
  ASSERT_EQ(Run("5"), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), 512);
  EXPECT_TRUE(
      Contains(out.str(), "Requests sent to the Map Tiles API: 1 session, 1 metadata, 512 tiles."))
      << out.str();
  EXPECT_EQ(standin.Requests().size(), 514u);
}

TEST_F(MapTilesCli, RequestsHaveTheDocumentedForm) {
  ASSERT_EQ(Run("1"), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  const std::vector<StandinRequest> requests = standin.Requests();
  ASSERT_EQ(requests.size(), 4u);
  const std::string body = R"({"mapType":"streetview","language":"en-US","region":"US"})";
  EXPECT_EQ(requests[0].Target, std::string("/v1/createSession?key=") + Key);
  EXPECT_TRUE(requests[0].Bytes.starts_with("POST /v1/createSession?key=")) << requests[0].Bytes;
  EXPECT_TRUE(Contains(requests[0].Bytes, "\r\nContent-Type: application/json\r\n"));
  EXPECT_TRUE(Contains(requests[0].Bytes,
                       "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body));
  EXPECT_TRUE(requests[1].Bytes.starts_with("GET /v1/streetview/metadata?lat="))
      << requests[1].Bytes;
  EXPECT_TRUE(Contains(requests[1].Target, "&radius=50&session=standin-session-1&key=") &&
              requests[1].Target.ends_with(Key))
      << requests[1].Target;
  EXPECT_TRUE(requests[2].Bytes.starts_with("GET /v1/streetview/tiles/1/")) << requests[2].Bytes;
  EXPECT_TRUE(requests[2].Target.ends_with(std::string("&session=standin-session-1&key=") + Key));
}

TEST_F(MapTilesCli, APointWithoutImageryIsTheNoImagesBox) {
  const int status = RunCli(
      {"--task", Task, "--lat", "82.5", "--lon", "10.5", "--zoom", "1", "--path", save.Path()});
  EXPECT_EQ(status, ExitCode(ExitStatus::Error)) << out.str();
  EXPECT_TRUE(Contains(err.str(), "There are no street view images on this location."))
      << err.str();
  EXPECT_EQ(RequestsTo("/v1/streetview/metadata"), 1);
  EXPECT_FALSE(Contains(out.str() + err.str(), Key));
}

class ShortSessions : public MapTilesCli {
 protected:
  ShortSessions() : MapTilesCli({"--api-key", Key, "--session-requests", "10"}) {}
};

TEST_F(ShortSessions, AnExpiredSessionIsRenewedAndTheTaskCompletes) {
  ASSERT_EQ(Run("3"), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), 32);
  EXPECT_EQ(FailedList(), "");
  // 33 answered requests on sessions of 10: at least three renewals, each after one refusal.
  const int sessions = RequestsTo("/v1/createSession");
  EXPECT_GE(sessions, 4);
  EXPECT_TRUE(Contains(out.str(), "Requests sent to the Map Tiles API: " +
                                      std::to_string(sessions) + " sessions, 1 metadata, "))
      << out.str();
}

// Each refusal of the key, the API or billing: its one line, exit 1, not one tile asked for.
struct RefusalCase {
  const char* Name;
  const char* KeyOption;
  const char* Line;
};

class KeyRefused : public MapTilesCli, public ::testing::WithParamInterface<RefusalCase> {
 protected:
  KeyRefused() : MapTilesCli({"--api-key", GetParam().KeyOption}) {}
};

TEST_P(KeyRefused, OneLineExitOneNoTileRequest) {
  EXPECT_EQ(Run("3"), ExitCode(ExitStatus::Error)) << err.str() << out.str();
  EXPECT_EQ(CountOf(out.str() + err.str(), "Map Tiles API:"), 1) << out.str() << err.str();
  EXPECT_TRUE(Contains(out.str(), std::string(GetParam().Line) + "\n")) << out.str();
  EXPECT_EQ(RequestsTo("/v1/streetview/"), 0);
  EXPECT_EQ(RequestsTo("/v1/createSession"), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, KeyRefused,
    ::testing::Values(RefusalCase{"BadKey", "another-key", BadKeyLine},
                      RefusalCase{"ApiDisabled", "Kv-secret-key_4711.standin:disabled",
                                  "Map Tiles API: Map Tiles API has not been used in this "
                                  "project before or it is disabled. Enable it, then retry."},
                      RefusalCase{"BillingOff", "Kv-secret-key_4711.standin:billing",
                                  "Map Tiles API: This API method requires billing to be "
                                  "enabled. Please enable billing on the project, then retry."}),
    [](const auto& info) { return std::string(info.param.Name); });

class Quota : public MapTilesCli {
 protected:
  // The session, the metadata and one of the two tiles of zoom 1 are within the quota.
  Quota() : MapTilesCli({"--api-key", Key, "--quota-per-minute", "3"}) {}
};

TEST_F(Quota, ExhaustedQuotaPushesBackAndStopsWithNothingSubstituted) {
  EXPECT_EQ(Run("1"), ExitCode(ExitStatus::Incomplete)) << err.str() << out.str();
  EXPECT_TRUE(Contains(out.str(), RefusingLine("429 Too Many Requests"))) << out.str();
  EXPECT_FALSE(Contains(out.str(), "got a blank image!"));
  EXPECT_EQ(FailedList(), "");
  EXPECT_EQ(TileFiles(TileFolder()), 1);
  // The task's pace backed off until the refusal had lasted its patience, then stopped once.
  EXPECT_EQ(CountOf(out.str(), "The service is refusing requests"), 1);
  long long waited = 0;
  for (long long pause : clock.PausesMs())
    waited += pause;
  EXPECT_GE(waited, (RefusalPatience - LongestPushBackPause).count());
}

TEST_F(MapTilesCli, TheEnvironmentKeyWinsOverConfigAndAppearsInNoFileOrOutput) {
  program.WriteConfig(Config("ApiKey=not-the-key\r\n"));
  ASSERT_EQ(setenv("KORVANE_API_KEY", Key, 1), 0);
  const int status = Run("2");
  const std::string printed = out.str() + err.str();
  // A tile refused by the plan-free service cannot happen here: list one by hand to re-download.
  unsetenv("KORVANE_API_KEY");
  ASSERT_EQ(status, ExitCode(ExitStatus::Complete)) << printed;
  EXPECT_FALSE(Contains(printed, Key));
  EXPECT_FALSE(Contains(printed, "session=")) << printed;
  ExpectNoFileHolds(save.Path(), Key);
  ExpectNoFileHolds(program.Path(), Key);
}

class FlakyTile : public MapTilesCli {
 protected:
  FlakyTile() : MapTilesCli({"--api-key", Key}, "tile x=1 y=0 first 3 status 500\n") {}
};

// A second stand-in over TLS that serves the key, and the configuration that leads to it.
struct HealthyService {
  explicit HealthyService(const std::string& keyLine)
      : standin("", 1, {"--tls", files.CertificateFile(), files.KeyFile(), "--api-key", Key}),
        Config("[Service]\r\nProtocol=maptiles\r\nMapTilesBase=https://127.0.0.1:" +
               std::to_string(standin.Port()) + "\r\nCAFile=" + files.CaFile() + "\r\n" + keyLine) {
  }
  int Tiles() const {
    int tiles = 0;
    for (const StandinRequest& request : standin.Requests())
      tiles += request.Target.starts_with("/v1/streetview/tiles/");
    return tiles;
  }
  CertificateFiles files;
  StandinFixture standin;
  const std::string Config;
};

TEST_F(FlakyTile, TheFailedListHoldsNoSecretAndRetryFetchesWithTheKey) {
  program.WriteConfig(Config(""));
  ASSERT_EQ(setenv("KORVANE_API_KEY", Key, 1), 0);
  EXPECT_EQ(Run("2"), ExitCode(ExitStatus::Incomplete)) << err.str() << out.str();
  std::string printed = out.str() + err.str();
  const std::string listed = FailedList();
  const std::string listPath = save.Path() + Task + "_failed.ftl";
  EXPECT_TRUE(Contains(listed, "/v1/streetview/tiles/2/1/0?panoId=")) << listed;
  EXPECT_FALSE(Contains(listed, "key=")) << listed;
  EXPECT_FALSE(Contains(listed, "session=")) << listed;

  // The fourth request of the tile, on a session of the re-download's own, is answered.
  EXPECT_EQ(RunCli({"--retry", listPath}), ExitCode(ExitStatus::Complete))
      << out.str() << err.str();
  printed += out.str() + err.str();
  unsetenv("KORVANE_API_KEY");
  EXPECT_TRUE(Contains(out.str(), " ->OK")) << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), 8);
  EXPECT_TRUE(
      Contains(out.str(), "Requests sent to the Map Tiles API: 1 session, 0 metadata, 1 tile."))
      << out.str();
  EXPECT_FALSE(Contains(printed, Key)) << printed;
  EXPECT_FALSE(Contains(printed, "session=")) << printed;
  ExpectNoFileHolds(save.Path(), Key);
}

TEST_F(Quota, AStoppedTaskContinuesWithoutFetchingATileTwice) {
  ASSERT_EQ(Run("1"), ExitCode(ExitStatus::Incomplete)) << err.str() << out.str();
  ASSERT_EQ(TileFiles(TileFolder()), 1);

  const HealthyService healthy(std::string("ApiKey=") + Key + "\r\n");
  program.WriteConfig(healthy.Config);
  EXPECT_EQ(Run("1", {}, std::string(Task) + ".krvn"), ExitCode(ExitStatus::Complete))
      << err.str() << out.str();
  EXPECT_EQ(TileFiles(TileFolder()), 2);
  EXPECT_EQ(healthy.Tiles(), 1);
}

TEST_F(MapTilesCli, AMapTilesTaskDoesNotContinueAsAnotherProtocol) {
  ASSERT_EQ(Run("1"), ExitCode(ExitStatus::Complete)) << err.str() << out.str();
  // Today's keyless protocol finds the same panorama on the same stand-in, but the task file
  // names the Map Tiles API: the task starts anew, every tile fetched again.
  program.WriteConfig(Config("") + "LookupBase=" + Base() + "\r\nTileBase=" + Base() +
                      "\r\nHomePage=" + Base() + "/\r\n");
  ASSERT_EQ(Run("1", {"--service", "current"}, std::string(Task) + ".krvn"),
            ExitCode(ExitStatus::Complete))
      << err.str() << out.str();
  EXPECT_EQ(RequestsTo("/v1/tile?"), 2);
  EXPECT_EQ(TIniFile(save.Path() + Task + ".krvn").ReadInteger("MapsType", "MapsType", 0), 33);
}

// A batch list of places along a street, each in a cell of its own (about 100 m apart), and
// the places given as extra rows.
std::string BatchList(int places, const std::vector<std::string>& extraRows = {}) {
  std::string list = "lat,lon,name\n";
  for (int i = 0; i < places; ++i) {
    list += "48.8584," + FloatToStr(2.2945 + 0.0015 * i, '.') + ",p" + std::to_string(i) + "\n";
  }
  for (const std::string& row : extraRows)
    list += row + "\n";
  return list;
}

TEST_F(MapTilesCli, ABatchFindsItsPanoramasAHundredAtATimeOnOneSession) {
  // Every place asks for a zoom Start refuses before its lookup: the batch's own requests are
  // all there is to count, and 250 places take no time.
  std::string list = "lat,lon,name,zoom\n";
  for (int i = 0; i < 250; ++i)
    list += "48.8584," + FloatToStr(2.2945 + 0.0015 * i, '.') + ",p" + std::to_string(i) + ",6\n";
  const std::string listPath = save.Path() + "street.csv";
  WriteFileBytes(listPath, list);
  EXPECT_EQ(RunCli({"--batch", listPath, "--path", save.Path()}), ExitCode(ExitStatus::Error))
      << err.str().substr(0, 500);
  EXPECT_EQ(RequestsTo("/v1/streetview/panoIds"), 3);
  EXPECT_EQ(RequestsTo("/v1/createSession"), 1);
  EXPECT_EQ(standin.Requests().size(), 4u);
  EXPECT_TRUE(Contains(out.str(),
                       "\nRequests sent to the Map Tiles API: 1 session, 3 panoIds, "
                       "0 metadata, 0 tiles.\n"))
      << out.str().substr(out.str().size() - 300);
  const StandinRequest first = standin.Requests()[1];
  EXPECT_TRUE(first.Bytes.starts_with("POST /v1/streetview/panoIds?session=")) << first.Bytes;
  EXPECT_TRUE(Contains(first.Bytes, "\r\nContent-Type: application/json\r\n"));
  EXPECT_TRUE(Contains(first.Bytes, R"({"locations":[{"lat":48.8584,"lng":2.2945},)"))
      << first.Bytes.substr(0, 600);
  EXPECT_TRUE(first.Bytes.ends_with(R"(],"radius":50})"));
  EXPECT_EQ(CountOf(first.Bytes, R"({"lat":)"), 100);
  EXPECT_EQ(CountOf(standin.Requests()[3].Bytes, R"({"lat":)"), 50);
}

TEST_F(MapTilesCli, ABatchFetchesEachFoundPanoramaByItsIdAndSkipsTheOthers) {
  const std::string listPath = save.Path() + "north.csv";
  WriteFileBytes(listPath, BatchList(2, {"82.5,10.5,icefield", "200,1,nowhere"}));
  EXPECT_EQ(RunCli({"--batch", listPath, "--path", save.Path(), "--zoom", "1"}),
            ExitCode(ExitStatus::Error))
      << err.str() << out.str();
  EXPECT_EQ(RequestsTo("/v1/streetview/panoIds"), 1);
  EXPECT_EQ(RequestsTo("/v1/streetview/metadata"), 2);
  EXPECT_TRUE(Contains(err.str(), "There are no street view images on this location."))
      << err.str();
  EXPECT_TRUE(Contains(err.str(), "Longitude should be between -180 and 180.") ||
              Contains(err.str(), "Latitude should be between -85 and 85."))
      << err.str();
  EXPECT_TRUE(Contains(out.str(),
                       "Requests sent to the Map Tiles API: 1 session, 1 panoIds, "
                       "2 metadata, 4 tiles."))
      << out.str();
}

}  // namespace
}  // namespace korvane::test
