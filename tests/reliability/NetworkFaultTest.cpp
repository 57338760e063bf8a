// Whole tasks of korvane-cli (in this process, with the test clock) against a network that
// breaks in every way we know, with both protocols: each task must end through its end
// sequence with the failure's own line, within the time-outs, and leave every tile of its grid
// stored as served, listed in the failed list, or left for a continuation (beyond its worker's
// recorded position). The suite prints RESULT faults_survived N/M when run as a whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <memory>
#include <ostream>
#include <sstream>
#include <thread>

#include "PanoramaSizes.h"
#include "korvane-cli/KorvaneCli.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "reliability/SavedTask.h"
#include "support/RecordingClock.h"
#include "support/RefusingPort.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"
#include "support/TinyproxyFixture.h"
#include "support/Watchdog.h"
#include "task/TaskFileKeys.h"
#include "task/TaskParameters.h"

namespace korvane::test {
namespace {

// Where the tiles are fetched from (the panorama lookup always reaches the stand-in).
enum class TileHost {
  Standin,       // the stand-in and its plan
  Refusing,      // a loopback port that refuses every connection
  Unresolvable,  // a name under .invalid, which no resolver knows
  DyingProxy,    // the stand-in through a proxy that is stopped mid-task
};

struct FaultCase {
  const char* Name;
  PanoramaProtocol Service;
  TileHost Host;
  const char* Plan;      // the stand-in's fault plan
  const char* Expected;  // what the failure lines of the task hold
  int TimeoutSpeedUp;    // nominal time-outs last 1/this: connect 30 s, read 60 s, reply 180 s
  int Zoom = 2;
};

// A classic task has no Server1..3 of its own here: the case's tile host stands in for them,
// so rows 1 to 3 of every four fail while row 0 comes from Server0, the stand-in. A current
// task's TileBase is the tile host: every tile fails.
const FaultCase Cases[] = {
    {"ResetStorm", PanoramaProtocol::Classic, TileHost::Standin,
     "tile x=1 y=0 every reset\ntile first 4 reset\n", "Socket Error # 10054", 30},
    {"ResetStorm", PanoramaProtocol::Current, TileHost::Standin,
     "tile x=1 y=0 every reset\ntile first 4 reset\n", "Socket Error # 10054", 30},
    {"StallAfterTheHead", PanoramaProtocol::Classic, TileHost::Standin, "tile x=0 every headonly\n",
     "Socket Error # 10060", 60},
    {"StallAfterTheHead", PanoramaProtocol::Current, TileHost::Standin, "tile x=0 every headonly\n",
     "Socket Error # 10060", 60},
    {"AByteASecond", PanoramaProtocol::Classic, TileHost::Standin, "tile x=0 y=0 every drip 1000\n",
     "Socket Error # 10060", 45},
    {"AByteASecond", PanoramaProtocol::Current, TileHost::Standin, "tile x=0 y=0 every drip 1000\n",
     "Socket Error # 10060", 45},
    {"BodyBeyondTheLimit", PanoramaProtocol::Classic, TileHost::Standin,
     "tile x=2 every oversize\n", "The server's reply body is larger than 64 MiB.", 30},
    {"BodyBeyondTheLimit", PanoramaProtocol::Current, TileHost::Standin,
     "tile x=2 every oversize\n", "The server's reply body is larger than 64 MiB.", 30},
    {"ChunksWithoutEnd", PanoramaProtocol::Classic, TileHost::Standin,
     "tile x=3 y=1 every endless\n", "The server's reply body is larger than 64 MiB.", 4},
    {"ChunksWithoutEnd", PanoramaProtocol::Current, TileHost::Standin,
     "tile x=3 y=1 every endless\n", "The server's reply body is larger than 64 MiB.", 4},
    {"RefusingTileHost", PanoramaProtocol::Classic, TileHost::Refusing, "", "Socket Error # 10061",
     30},
    {"RefusingTileHost", PanoramaProtocol::Current, TileHost::Refusing, "", "Socket Error # 10061",
     30},
    {"UnresolvableTileHost", PanoramaProtocol::Classic, TileHost::Unresolvable, "",
     "Socket Error # 11001", 30},
    {"UnresolvableTileHost", PanoramaProtocol::Current, TileHost::Unresolvable, "",
     "Socket Error # 11001", 30},
    {"ProxyDiesMidTask", PanoramaProtocol::Classic, TileHost::DyingProxy, "tile every delay 100\n",
     "Socket Error # 10061", 30, 3},
    {"ProxyDiesMidTask", PanoramaProtocol::Current, TileHost::DyingProxy, "tile every delay 100\n",
     "Socket Error # 10061", 30, 3},
};

// Test names (ctest's list) show the case by its name.
void PrintTo(const FaultCase& fault, std::ostream* out) {
  *out << fault.Name << (fault.Service == PanoramaProtocol::Classic ? " classic" : " current");
}

// A whole task, also a stalled one, ends well within this.
constexpr std::chrono::seconds RunLimit{90};
// The proxy goes once this many tiles were asked for.
constexpr std::size_t TilesBeforeTheProxyDies = 6;
constexpr const char* UnresolvableHost = "tiles.korvane.invalid";

std::string TileHostText(TileHost host, const StandinFixture& standin,
                         const RefusingPort& refusing) {
  switch (host) {
    case TileHost::Refusing:
      return refusing.HostPort();
    case TileHost::Unresolvable:
      return std::string(UnresolvableHost) + ":" + std::to_string(standin.Port());
    default:
      return standin.Host();
  }
}

std::string ServiceConfig(PanoramaProtocol protocol, const std::string& standin,
                          const std::string& tileHost) {
  if (protocol == PanoramaProtocol::Current) {
    return "[Service]\r\nProtocol=current\r\nLookupBase=http://" + standin +
           "\r\nTileBase=http://" + tileHost + "\r\nHomePage=http://" + standin + "/\r\n";
  }
  std::string config = "[Service]\r\nProtocol=classic\r\nServer0=" + standin + "\r\n";
  for (int server = 1; server < 4; ++server)
    config += "Server" + std::to_string(server) + "=" + tileHost + "\r\n";
  return config + "HomePage=http://" + standin + "/\r\n";
}

// The tiles a continuation of the task would fetch: those past their worker's position in the
// task file (a position in column or row 0 counts as none).
bool LeftForAContinuation(const SavedTask& task, const std::string& name) {
  const auto [x, y] = TileOfFile(name);
  const int workers = std::min(MaxThreadCount, task.Grid.TotalCount());
  const int k = task.Grid.SequenceNumber(x, y);
  const int worker = k % workers;
  const TIniFile file(task.TaskFile);
  const int doneX = file.ReadInteger(ThreadsSection, ThreadKeyX(worker), 0);
  const int doneY = file.ReadInteger(ThreadsSection, ThreadKeyY(worker), 0);
  const int limit = doneX > 0 && doneY > 0 ? task.Grid.SequenceNumber(doneX, doneY) : 0;
  return k > limit;
}

class NetworkFault : public ::testing::TestWithParam<FaultCase> {
 protected:
  static void TearDownTestSuite() {
    std::cout << "RESULT faults_survived " << survived_ << "/" << ran_ << std::endl;
  }
  void TearDown() override {
    ++ran_;
    if (!HasFailure()) ++survived_;
  }

  static inline int ran_ = 0;
  static inline int survived_ = 0;
};

TEST_P(NetworkFault, TheTaskEndsWithTheFailureAndEveryTileIsStoredListedOrLeft) {
  const FaultCase& fault = GetParam();
  RecordingClock clock{100};
  clock.ShortenTimeouts(fault.TimeoutSpeedUp);
  StandinFixture standin(fault.Plan);
  const RefusingPort refusing;
  std::unique_ptr<TinyproxyFixture> proxy;
  if (fault.Host == TileHost::DyingProxy)
    proxy = std::make_unique<TinyproxyFixture>(std::vector<int>{standin.Port()});
  TempProgramFolder program;
  program.WriteConfig(
      ServiceConfig(fault.Service, standin.Host(), TileHostText(fault.Host, standin, refusing)) +
      (proxy ? proxy->ProxyConfig() : ""));
  TempFolder save;
  std::string latitude = "48.8566", longitude = "2.3522";
  if (fault.Service == PanoramaProtocol::Current) {
    const auto point = standin::PointOfSize(standin::PanoramaSize::Large, 48.8584, 2.2945);
    ASSERT_TRUE(point);
    latitude = FloatToStr(point->first, '.');
    longitude = FloatToStr(point->second, '.');
  }
  std::thread proxyKiller;
  if (proxy) {
    proxyKiller = std::thread([&] {
      standin.WaitForRequests(1 + TilesBeforeTheProxyDies, RunLimit);
      proxy->Stop();
    });
  }

  std::ostringstream out, err;
  int status = -1;
  {
    const Watchdog watchdog(RunLimit, std::string("the task under ") + fault.Name);
    status = ExitCode(RunKorvaneCli({"--task", "fault.krvn", "--lat", latitude, "--lon", longitude,
                                     "--zoom", std::to_string(fault.Zoom), "--path", save.Path()},
                                    out, err));
  }
  if (proxyKiller.joinable()) proxyKiller.join();
  const std::string printed = out.str();
  // The task ends through its end sequence; it is complete for a script only when no tile was
  // listed, substituted or left.
  ASSERT_TRUE(status == ExitCode(ExitStatus::Complete) ||
              status == ExitCode(ExitStatus::Incomplete))
      << status << '\n'
      << err.str() << printed;
  const SavedTask task = ReadSavedTask(save.Path(), "fault");
  EXPECT_TRUE(Contains(printed, "\nLog file has been saved as " + task.LogFile + "\n")) << printed;
  EXPECT_TRUE(Contains(printed, fault.Expected)) << printed;

  const TileFolderReport tiles = CompareTiles(task, ListedTiles(task));
  EXPECT_EQ(tiles.Different, std::vector<std::string>());
  EXPECT_EQ(tiles.Strays, std::vector<std::string>());
  for (const std::string& name : tiles.Missing)
    EXPECT_TRUE(LeftForAContinuation(task, name)) << name << " is lost\n" << printed;
  if (status == ExitCode(ExitStatus::Complete)) {
    EXPECT_EQ(tiles.Lost(), 0) << "a complete task holds every tile as served";
    EXPECT_TRUE(ListedTiles(task).empty());
  }
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
  return std::string(info.param.Name) +
         (info.param.Service == PanoramaProtocol::Classic ? "_Classic" : "_Current");
}

INSTANTIATE_TEST_SUITE_P(Faults, NetworkFault, ::testing::ValuesIn(Cases), CaseName);

}  // namespace
}  // namespace korvane::test
