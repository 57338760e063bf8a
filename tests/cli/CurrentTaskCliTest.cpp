#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "PanoramaSizes.h"
#include "korvane-cli/KorvaneCli.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "support/CertificateFiles.h"
#include "support/CliProcess.h"
#include "support/InProcessCli.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TestCertificates.h"
#include "support/TextContains.h"

namespace korvane::test {
namespace {

namespace fs = std::filesystem;
using standin::PanoramaSize;

int TileFiles(const std::string& folder) {
  int tiles = 0;
  if (!fs::exists(folder)) return 0;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".jpg") ++tiles;
  }
  return tiles;
}

// The boxes' texts for a point of the kind (the stand-in fixes each cell's kind).
struct Point {
  std::string Latitude;
  std::string Longitude;
};
Point PointOf(PanoramaSize kind) {
  const auto point = standin::PointOfSize(kind, 48.8584, 2.2945);
  EXPECT_TRUE(point);
  return {FloatToStr(point->first, '.'), FloatToStr(point->second, '.')};
}

class CurrentTaskCli : public InProcessCli<> {
 protected:
  explicit CurrentTaskCli(const std::string& plan = "") : InProcessCli(plan, 2) {
    program.WriteConfig(standin.CurrentServiceConfig());
  }

  int Run(const std::string& task, const Point& point, const std::string& zoom,
          std::vector<std::string> more = {}) {
    std::vector<std::string> arguments = {
        "--task",        task,     "--lat", point.Latitude, "--lon",
        point.Longitude, "--zoom", zoom,    "--path",       save.Path()};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return RunCli(arguments);
  }
  int TileRequests() const {
    int count = 0;
    for (const auto& request : standin.Requests())
      count += request.Target.starts_with("/v1/tile?");
    return count;
  }
};

TEST_F(CurrentTaskCli, WholeTaskAtZoomThree_TheGridOfThePanorama) {
  const Point point = PointOf(PanoramaSize::Large);
  ASSERT_EQ(Run("large", point, "3"), 0) << err.str();
  const std::string printed = out.str();
  EXPECT_TRUE(Contains(printed, "Getting pano_id now, please wait...\n"));
  EXPECT_TRUE(Contains(printed, "\nPanorama: 4096x2048 at zoom 3, taken ")) << printed;
  EXPECT_EQ(TileFiles(save.Path() + "large"), 32);
  EXPECT_TRUE(FileExists(save.Path() + "large/gv_7_3_3.jpg"));
  EXPECT_EQ(TileRequests(), 32);
  // Every tile on TileBase (listener 1), the lookup on LookupBase (listener 0).
  for (const auto& request : standin.Requests()) {
    EXPECT_EQ(request.Listener, request.Target.starts_with("/v1/tile?") ? 1 : 0) << request.Target;
    EXPECT_EQ(request.Target.find("fover"), std::string::npos);
  }
  EXPECT_TRUE(FileExists(program.Path() + "ini/temp.json"));

  const std::string taskFile = save.Path() + "large.krvn";
  const TIniFile ini(taskFile);
  EXPECT_EQ(ini.ReadInteger("MapsType", "MapsType", 0), 33);
  EXPECT_EQ(ini.ReadInteger("XY", "MaxX", 0), 7);
  EXPECT_EQ(ini.ReadInteger("XY", "MaxY", 0), 3);
  EXPECT_EQ(ini.ReadInteger("Image", "Width", 0), 4096);
  EXPECT_EQ(ini.ReadInteger("Image", "Height", 0), 2048);
  EXPECT_EQ(ini.ReadString("Image", "Date", "").size(), 7u);
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "large_log.txt"),
                       "Total count of images would be downloaded: 32\r\n"));
}

TEST_F(CurrentTaskCli, EveryKindGetsItsOwnGridAndAMissingZoomIsRefused) {
  ASSERT_EQ(Run("medium", PointOf(PanoramaSize::Medium), "3"), 0) << err.str();
  EXPECT_EQ(TileFiles(save.Path() + "medium"), 28);
  ASSERT_EQ(Run("small", PointOf(PanoramaSize::Small), "2"), 0) << err.str();
  EXPECT_EQ(TileFiles(save.Path() + "small"), 8);

  const int before = TileRequests();
  EXPECT_EQ(Run("small5", PointOf(PanoramaSize::Small), "5"), 1);
  EXPECT_EQ(err.str(), "This panorama has no zoom level 5; its highest is 3.\n");
  EXPECT_EQ(TileRequests(), before);
  EXPECT_FALSE(FileExists(save.Path() + "small5.krvn"));
}

TEST_F(CurrentTaskCli, ServiceOptionAndUnknownProtocol) {
  // The classic protocol for one run: the cbk servers (none configured here) are asked.
  std::string config = standin.CurrentServiceConfig();
  for (int server = 0; server < 4; ++server)
    config += "Server" + std::to_string(server) + "=" + standin.Host() + "\r\n";
  program.WriteConfig(config);
  ASSERT_EQ(Run("classic", PointOf(PanoramaSize::Large), "1", {"--service", "classic"}), 0);
  EXPECT_FALSE(Contains(out.str(), "Panorama: "));
  EXPECT_EQ(TIniFile(save.Path() + "classic.krvn").ReadInteger("MapsType", "MapsType", 0), 32);
  EXPECT_EQ(TileRequests(), 0);

  program.WriteConfig("[Service]\r\nProtocol=cbk\r\n");
  EXPECT_EQ(Run("bad", PointOf(PanoramaSize::Large), "1"), 1);
  EXPECT_EQ(err.str(), "Unknown service protocol \"cbk\" in config.ini.\n");
  EXPECT_EQ(standin.Requests().size(), 3u);  // the classic lookup and its two tiles
}

TEST_F(CurrentTaskCli, ContinuedTaskTakesItsGridFromTheTaskFile) {
  const Point point = PointOf(PanoramaSize::Large);
  ASSERT_EQ(Run("cont.krvn", point, "2"), 0) << err.str();
  ASSERT_EQ(TileRequests(), 8);
  // (A task continues only when the name box holds the file's whole name.)
  // The workers' positions gone, so every worker starts its share again; the grid recorded is
  // one column narrower than the panorama's.
  const std::string taskFile = save.Path() + "cont.krvn";
  const std::string text = ReadFileBytes(taskFile);
  WriteFileBytes(taskFile, text.substr(0, text.find("[THREADS]")));
  TIniFile(taskFile).WriteInteger("XY", "MaxX", 2);
  for (const auto& entry : fs::directory_iterator(save.Path() + "cont"))
    fs::remove(entry.path());

  ASSERT_EQ(Run("cont.krvn", point, "2"), 0) << err.str();
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "cont_log.txt"), "Log continue..."));
  EXPECT_EQ(TileFiles(save.Path() + "cont"), 6);  // 3 x 2 from the file, not 4 x 2
  EXPECT_FALSE(FileExists(save.Path() + "cont/gv_3_0_2.jpg"));
  EXPECT_EQ(TileRequests(), 8 + 6);
}

// korvane-cli as its own process, over a slow service (every tile but the first takes a
// second, so the stop comes while they are in flight): SIGINT stops a current task, and the
// next run with the same boxes continues it to the end.
class CurrentTaskStop : public CurrentTaskCli {
 protected:
  CurrentTaskStop() : CurrentTaskCli("tile x=0 y=0 every ok\ntile every delay 1000\n") {}
};

TEST_F(CurrentTaskStop, StopAndContinue) {
  const CliProgramFolder copy(standin.CurrentServiceConfig());
  const Point point = PointOf(PanoramaSize::Large);

  const std::string savePath = save.Path();
  const InterruptedRun run =
      RunAndInterrupt(copy.Cli(),
                      {"--task", "stop.krvn", "--lat", point.Latitude, "--lon", point.Longitude,
                       "--zoom", "3", "--path", savePath, "--service", "current"},
                      " OK\n", std::chrono::seconds(60));
  ASSERT_TRUE(run.Signalled) << run.Printed;
  ASSERT_TRUE(run.Exited) << run.Printed;
  EXPECT_EQ(run.ExitStatus, ExitCode(ExitStatus::Incomplete));
  const int stoppedAt = TileFiles(savePath + "stop");
  EXPECT_LT(stoppedAt, 32) << "the stop came before the grid was done";

  // The requests in flight at the stop reach the stand-in's log when their second is over.
  int requestsBefore = TileRequests();
  for (int quiet = 0; quiet < 3;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    const int now = TileRequests();
    quiet = now == requestsBefore ? quiet + 1 : 0;
    requestsBefore = now;
  }
  ASSERT_EQ(Run("stop.krvn", point, "3"), 0) << err.str();
  EXPECT_TRUE(Contains(ReadFileBytes(savePath + "stop_log.txt"), "Log continue..."));
  EXPECT_EQ(TileFiles(savePath + "stop"), 32);
  // Exactly what the first run had not finished is fetched: the tiles in flight at the stop
  // left no file and come again, no finished tile does.
  EXPECT_EQ(TileRequests() - requestsBefore, 32 - stoppedAt);
}

// The tile a request asks for, as its file is named ("gv_X_Y_Z.jpg"); empty for no tile.
std::string TileOfRequest(const std::string& target) {
  if (!target.starts_with("/v1/tile?")) return "";
  const auto value = [&target](const std::string& key) {
    const std::size_t at = target.find("&" + key + "=");
    if (at == std::string::npos) return std::string();
    const std::size_t from = at + key.size() + 2;
    return target.substr(from, target.find('&', from) - from);
  };
  return "gv_" + value("x") + "_" + value("y") + "_" + value("zoom") + ".jpg";
}

std::set<std::string> TileFileNames(const std::string& folder) {
  std::set<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    if (entry.path().extension() == ".jpg") names.insert(entry.path().filename().string());
  }
  return names;
}

// A task stopped again and again at random points (SIGINT after a random tile, SIGKILL after a
// random number of requests) while its workers share the tiles at an adaptive pace: every run
// asks for exactly the tiles that have no file yet, each once, and the last one completes.
TEST(CurrentTaskRandomStops, EveryRunFetchesExactlyTheTilesStillMissing) {
  StandinFixture standin("", 2, {"--tile-latency", "100"});
  const CliProgramFolder copy(standin.CurrentServiceConfig() + "[Download]\r\nConnections=4\r\n");
  TempFolder save;
  const Point point = PointOf(PanoramaSize::Large);
  const std::vector<std::string> arguments = {
      "--task", "rand.krvn", "--lat",  point.Latitude, "--lon",     point.Longitude,
      "--zoom", "4",         "--path", save.Path(),    "--service", "current"};
  const std::string folder = save.Path() + "rand";
  constexpr int Tiles = 16 * 8;
  const unsigned seed = static_cast<unsigned>(std::random_device{}());
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);

  std::size_t logged = 0;
  // The tile requests of the run since the last call, checked against the files before it.
  const auto checkRun = [&](const std::set<std::string>& before) {
    // A request that was on its way when the run ended reaches the log a moment later.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<StandinRequest> requests = standin.Requests();
    std::multiset<std::string> asked;
    for (std::size_t i = logged; i < requests.size(); ++i) {
      const std::string tile = TileOfRequest(requests[i].Target);
      if (!tile.empty()) asked.insert(tile);
    }
    logged = requests.size();
    for (const std::string& tile : asked) {
      EXPECT_EQ(before.count(tile), 0u) << tile << " was fetched again";
      EXPECT_EQ(asked.count(tile), 1u) << tile << " was fetched twice in one run";
    }
    return asked.size();
  };

  for (int stop = 0; stop < 4; ++stop) {
    const std::set<std::string> before = TileFileNames(folder);
    if (static_cast<int>(before.size()) >= Tiles - 8) break;
    std::vector<int> left;
    for (int k = 1; k <= Tiles; ++k) {
      const int x = (k - 1) / 8, y = (k - 1) % 8;
      if (!before.count("gv_" + std::to_string(x) + "_" + std::to_string(y) + "_4.jpg"))
        left.push_back(k);
    }
    // Early in what is left, so the stop lands before the run could end on a loaded machine.
    const int at = left[std::uniform_int_distribution<std::size_t>(0, left.size() / 4)(random)];
    if (stop % 2 == 0) {
      const InterruptedRun run = RunAndInterrupt(
          copy.Cli(), arguments, ":seq=" + std::to_string(at) + ",", std::chrono::seconds(60));
      ASSERT_TRUE(run.Exited) << run.Printed;
    } else {
      const std::size_t requestsBefore = standin.Requests().size();
      const std::size_t more = 1 + static_cast<std::size_t>(at % 24);
      RunAndKill(copy.Cli(), arguments,
                 [&] { standin.WaitForRequests(requestsBefore + more, std::chrono::seconds(30)); });
    }
    checkRun(before);
  }

  const std::set<std::string> before = TileFileNames(folder);
  EXPECT_LT(before.size(), static_cast<std::size_t>(Tiles)) << "the stops came too late";
  const InterruptedRun last =
      RunAndInterrupt(copy.Cli(), arguments, "never printed", std::chrono::seconds(60));
  ASSERT_TRUE(last.Exited) << last.Printed;
  EXPECT_EQ(last.ExitStatus, ExitCode(ExitStatus::Complete)) << last.Printed;
  EXPECT_EQ(checkRun(before), Tiles - before.size());
  EXPECT_EQ(TileFileNames(folder).size(), static_cast<std::size_t>(Tiles));
  EXPECT_EQ(ReadFileBytes(save.Path() + "rand_failed.ftl"), "");
}

// The current service is reached over HTTPS: the stand-in over TLS (CertificateFiles).
TEST(CurrentTaskOverTls, WholeTaskAtZoomThree) {
  RecordingClock clock{100};
  const CertificateFiles files;
  StandinFixture standin("", 1, {"--tls", files.CertificateFile(), files.KeyFile()});
  const std::string base = "https://127.0.0.1:" + std::to_string(standin.Port());
  TempProgramFolder program;
  program.WriteConfig("[Service]\r\nProtocol=current\r\nLookupBase=" + base + "\r\nTileBase=" +
                      base + "\r\nHomePage=" + base + "/\r\nCAFile=" + files.CaFile() + "\r\n");
  TempFolder save;
  const Point point = PointOf(PanoramaSize::Medium);
  std::ostringstream out, err;
  ASSERT_EQ(RunKorvaneCli({"--task", "tls", "--lat", point.Latitude, "--lon", point.Longitude,
                           "--zoom", "3", "--path", save.Path()},
                          out, err),
            ExitStatus::Complete)
      << err.str() << out.str();
  EXPECT_TRUE(Contains(out.str(), "\nPanorama: 3328x1664 at zoom 3, taken ")) << out.str();
  EXPECT_EQ(TileFiles(save.Path() + "tls"), 28);
  EXPECT_EQ(TIniFile(save.Path() + "tls.krvn").ReadInteger("Image", "Width", 0), 3328);
  EXPECT_EQ(ReadFileBytes(save.Path() + "tls_failed.ftl"), "");
}

}  // namespace
}  // namespace korvane::test
