#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>

#include "PanoramaSizes.h"
#include "korvane-cli/KorvaneCli.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
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

// korvane-cli as its own process, over a slow service: SIGINT stops a current task, and the
// next run with the same boxes continues it to the end.
class CurrentTaskStop : public CurrentTaskCli {
 protected:
  CurrentTaskStop() : CurrentTaskCli("tile every delay 150\n") {}
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

  ASSERT_EQ(Run("stop.krvn", point, "3"), 0) << err.str();
  EXPECT_TRUE(Contains(ReadFileBytes(savePath + "stop_log.txt"), "Log continue..."));
  EXPECT_EQ(TileFiles(savePath + "stop"), 32);
  // Only what the first run had not finished is fetched again (a worker's tile in flight at
  // the stop at most).
  EXPECT_LE(TileRequests(), 32 + 8);
}

// The current service is reached over HTTPS: the stand-in over TLS with a certificate of an
// authority made for the test, which the program trusts through CAFile.
class CertificateFiles {
 public:
  CertificateFiles() {
    const TestCertificate server = authority_.Issue();
    WriteFileBytes(CaFile(), authority_.CertificatePem());
    WriteFileBytes(CertificateFile(), server.CertificatePem);
    WriteFileBytes(KeyFile(), server.KeyPem);
  }
  std::string CaFile() const { return folder_.Path() + "ca.pem"; }
  std::string CertificateFile() const { return folder_.Path() + "server.pem"; }
  std::string KeyFile() const { return folder_.Path() + "server.key"; }

 private:
  TempFolder folder_;
  TestCertificateAuthority authority_;
};

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
