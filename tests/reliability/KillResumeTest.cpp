// korvane-cli killed with SIGKILL at random moments of a zoom-4 task and continued each time:
// no tile may be lost or half-written, whatever a kill interrupts (a tile's write, a save of the
// task file, log or list, the start or the end of a run).
//   KORVANE_KILL_RUNS  how many runs are killed (default 5; scripts/reliability runs 30)
//   KORVANE_KILL_SEED  replays the kill moments of an earlier run (its seed is printed)

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <random>
#include <thread>

#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "reliability/SavedTask.h"
#include "support/CliProcess.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"
#include "task/TaskFileKeys.h"

namespace korvane::test {
namespace {

using std::chrono::milliseconds;

constexpr int DefaultKilledRuns = 5;
// The stand-in holds every tile back this long after logging its request, so the moment a tile
// arrives (and its write begins) is known from the request log.
constexpr milliseconds TileDelay{40};
// A run is killed after 1 to MostTilesPerRun tile requests of its own, within KillJitter after
// the last one's answer went out: in the tile's write or close to it.
constexpr int MostTilesPerRun = 12;
constexpr milliseconds KillJitter{12};
// How long a run may take to ask for its tiles before it is killed all the same.
constexpr milliseconds RequestWaitLimit{30'000};
// The last run takes the rest of the task (91 tiles, a second's pause per saved tile and
// worker); a run beyond this limit has hung.
constexpr std::chrono::seconds LastRunLimit{180};

unsigned EnvironmentNumber(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text != nullptr && *text != '\0' ? static_cast<unsigned>(std::stoul(text)) : fallback;
}

TEST(KillAndResume, EveryTileSurvivesKillsAtRandomMoments) {
  const unsigned runs = EnvironmentNumber("KORVANE_KILL_RUNS", DefaultKilledRuns);
  const unsigned seed = EnvironmentNumber("KORVANE_KILL_SEED", std::random_device{}());
  std::cout << "kill moments seeded with " << seed << " (KORVANE_KILL_SEED=" << seed
            << " replays them)" << std::endl;
  StandinFixture standin("tile every delay " + std::to_string(TileDelay.count()) + "\n");
  const CliProgramFolder program(standin.ServiceConfig());
  TempFolder save;
  const std::vector<std::string> arguments = {"--task", "killed.krvn", "--lat",  "48.8566",
                                              "--lon",  "2.3522",      "--zoom", "4",
                                              "--path", save.Path(),   "--quiet"};
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> tilesThisRun(1, MostTilesPerRun);
  std::uniform_int_distribution<long long> jitter(0, KillJitter.count());
  int killed = 0;
  int inWrites = 0;
  for (unsigned run = 0; run < runs; ++run) {
    const std::size_t until = standin.Requests().size() + 1 + tilesThisRun(random);
    const milliseconds after = TileDelay + milliseconds(jitter(random));
    const KilledRun result = RunAndKill(program.Cli(), arguments, [&] {
      standin.WaitForRequests(until, RequestWaitLimit);
      std::this_thread::sleep_for(after);
    });
    ASSERT_TRUE(result.Killed || result.ExitStatus == 0) << "run " << run << " failed by itself:\n"
                                                         << result.Printed;
    killed += result.Killed ? 1 : 0;
    // A kill within a write leaves its temporary; the next run must clear it away.
    inWrites += TemporariesIn(ReadSavedTask(save.Path(), "killed").TileFolder).empty() ? 0 : 1;
  }
  std::cout << killed << " runs killed, " << inWrites
            << " of them within a tile's write (its temporary left behind)" << std::endl;

  const TerminalRun last = RunWithTerminal(program.Cli(), arguments, LastRunLimit);
  ASSERT_TRUE(last.Exited) << "the last run did not end:\n" << last.Printed;
  EXPECT_EQ(last.ExitStatus, 0) << last.Printed;

  const SavedTask task = ReadSavedTask(save.Path(), "killed");
  ASSERT_FALSE(task.PanoId.empty()) << "the task file is not readable";
  ASSERT_EQ(task.Grid.TotalCount(), 13 * 7);
  const TileFolderReport tiles = CompareTiles(task);
  EXPECT_EQ(tiles.Identical, 13 * 7);
  EXPECT_EQ(tiles.Missing, std::vector<std::string>());
  EXPECT_EQ(tiles.Different, std::vector<std::string>());
  EXPECT_EQ(tiles.Strays, std::vector<std::string>()) << "temporaries or other files left";
  EXPECT_EQ(TemporariesIn(save.Path()), std::vector<std::string>());

  const TStringList log = LoadLines(task.LogFile);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), "Project: " + task.TaskFile);
  EXPECT_EQ(log.back(), "Log file has been saved as " + task.LogFile);
  if (killed > 0) {
    EXPECT_TRUE(Contains(ReadFileBytes(task.LogFile), "\r\nLog continue...\r\n"));
  }
  EXPECT_EQ(ReadFileBytes(task.FailedList), "") << "the service never failed";

  std::cout << "RESULT kill_resume_tiles_lost " << tiles.Lost() << "\n"
            << "RESULT kill_resume_runs " << killed << std::endl;
}

}  // namespace
}  // namespace korvane::test
