#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <sstream>

#include "PanoramaId.h"
#include "korvane-cli/KorvaneCli.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "support/CliProcess.h"
#include "support/InProcessCli.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

namespace korvane::test {
namespace {

const std::string TaskStoped = "Task stoped!" + std::string(20, ' ');

// A classic task "list" of zoom 1 in folder, whose failed list "list_failed.ftl" names its tile
// (0, 0) at the address on host the task asks for it. Returns the list's path.
struct ClassicTaskList {
  std::string Tile;
  std::string Url;
  std::string List;
};
ClassicTaskList WriteClassicTaskList(const std::string& folder, const std::string& host) {
  WriteFileBytes(folder + "list.krvn",
                 "[MapsType]\r\nMapsType=32\r\n[Pano]\r\nPano_id=ANY\r\n[Zoom]\r\nZoom=1\r\n");
  CreateDir(folder + "list");
  const ClassicTaskList task{folder + "list/gv_0_0_1.jpg",
                             "http://" + host + "/cbk?output=tile&panoid=ANY&x=0&y=0&zoom=1",
                             folder + "list_failed.ftl"};
  WriteFileBytes(task.List, task.Tile + "|" + task.Url + "\r\n");
  return task;
}

class KorvaneCli : public InProcessCli<> {
 protected:
  KorvaneCli() { program.WriteConfig(standin.ServiceConfig()); }

  int Run(const std::vector<std::string>& arguments) { return RunCli(arguments); }
};

TEST_F(KorvaneCli, ABadCommandLineExitsWithTwoAndTheUsage) {
  EXPECT_EQ(Run({"--zoom"}), 2);
  EXPECT_TRUE(Contains(err.str(), "usage: korvane-cli"));
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(Run({"--retry", "a.ftl", "--task", "x"}), 2);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_TRUE(Contains(out.str(), "usage: korvane-cli"));
  EXPECT_EQ(Run({"--version"}), 0);
  EXPECT_TRUE(out.str().starts_with("korvane-cli ")) << out.str();
  EXPECT_EQ(out.str().back(), '\n');
}

// The batch's summary is not written through a link another user planted beside the list.
TEST_F(KorvaneCli, ABatchSummaryRefusesAnotherUsersLink) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
  constexpr uid_t Nobody = 65534;
  const std::string victim = save.Path() + "victim";
  WriteFileBytes(victim, "kept");
  // The summary is written under a fresh temporary name and put in place at its own name: a
  // link another user planted there must not carry the summary elsewhere.
  const std::string link = save.Path() + "places_summary.csv";
  std::filesystem::create_symlink(victim, link);
  ASSERT_EQ(::lchown(link.c_str(), Nobody, Nobody), 0);
  WriteFileBytes(save.Path() + "places.csv", "lat,lon,name\n");
  EXPECT_EQ(Run({"--batch", save.Path() + "places.csv", "--path", save.Path()}),
            ExitCode(ExitStatus::Error));
  EXPECT_TRUE(Contains(err.str(), "Cannot create file " + save.Path() + "places_summary.csv"))
      << err.str();
  EXPECT_EQ(ReadFileBytes(victim), "kept");
}

TEST_F(KorvaneCli, ATaskToItsEndPrintsTheLogAndOnlyTheEndMessage) {
  EXPECT_EQ(Run({"--task", "cli", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "1", "--path",
                 save.Path()}),
            0);
  EXPECT_EQ(err.str(), TaskStoped + "\n");
  const std::string printed = out.str();
  EXPECT_TRUE(Contains(printed, "Getting pano_id now, please wait...\n"));
  EXPECT_TRUE(Contains(printed, "\nPano_id got: "));
  EXPECT_TRUE(Contains(printed, "\nProject: " + save.Path() + "cli.krvn\n"));
  EXPECT_TRUE(Contains(printed, "\nT1 Finished.\n"));
  EXPECT_TRUE(Contains(printed, "\nLog file has been saved as " + save.Path() + "cli_log.txt\n"));
  EXPECT_TRUE(FileExists(save.Path() + "cli/gv_0_0_1.jpg"));
  EXPECT_TRUE(FileExists(save.Path() + "cli/gv_1_0_1.jpg"));
}

TEST_F(KorvaneCli, StitchJoinsTheTilesAfterTheEnd) {
  EXPECT_EQ(Run({"--task", "cli", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "1", "--path",
                 save.Path(), "--stitch"}),
            0);
  EXPECT_TRUE(Contains(out.str(), "\nPanorama: " + save.Path() + "cli.jpg\n"));
  EXPECT_EQ(ReadFileBytes(save.Path() + "cli.jpg").substr(0, 2), "\xFF\xD8");
}

TEST_F(KorvaneCli, AStartThatEndsInAMessageOrAnErrorBoxExitsWithOne) {
  EXPECT_EQ(Run({"--lat", "95", "--lon", "2", "--path", save.Path()}), 1);
  EXPECT_EQ(err.str(), "Latitude should be between -85 and 85.\n");
  EXPECT_EQ(Run({"--zoom", "x", "--path", save.Path()}), 1);
  EXPECT_EQ(err.str(), "'x' is not a valid integer value\n");
  EXPECT_EQ(Run({"--lat", "81", "--lon", "2", "--path", save.Path()}), 1);
  EXPECT_EQ(err.str(), "There are no street view images on this location.\n");
  EXPECT_TRUE(Contains(out.str(), "Pano_id got: \n"));
}

TEST_F(KorvaneCli, OpenFillsTheBoxesAndExplicitOptionsOverrideThem) {
  ASSERT_EQ(Run({"--task", "opened.krvn", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "1",
                 "--path", save.Path()}),
            0);
  // The task file says zoom 1; the command line asks for zoom 2, so the task starts anew.
  EXPECT_EQ(Run({"--open", save.Path() + "opened.krvn", "--zoom", "2"}), 0);
  const std::string log = ReadFileBytes(save.Path() + "opened_log.txt");
  EXPECT_TRUE(Contains(log, "Zoom level: 2"));
  EXPECT_FALSE(Contains(log, "Log continue..."));
  // Unchanged, it continues.
  EXPECT_EQ(Run({"--open", save.Path() + "opened.krvn"}), 0);
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "opened_log.txt"), "Log continue..."));
}

TEST_F(KorvaneCli, AMapLinkOrAPairAfterLatFillsBothCoordinates) {
  EXPECT_EQ(Run({"--task", "link", "--lat",
                 "https://www.google.com/maps/@48.8566,2.3522,3a,75y,90t/data=!3m6", "--zoom", "1",
                 "--path", save.Path()}),
            0);
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "link.krvn"), "2.3522"));
  EXPECT_TRUE(FileExists(save.Path() + "link/gv_0_0_1.jpg"));
  // A pair overrides a --lon given too: the pasted place is what the user meant.
  EXPECT_EQ(Run({"--task", "pair", "--lat", "48.8566, 2.3522", "--lon", "0", "--zoom", "1",
                 "--path", save.Path()}),
            0);
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "pair.krvn"), "2.3522"));
}

TEST_F(KorvaneCli, OpenTakesATaskFileRelativeToTheCurrentFolder) {
  ASSERT_EQ(Run({"--task", "here.krvn", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "1",
                 "--path", save.Path()}),
            0);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(save.Path());
  const int status = Run({"--open", "./sub/../here.krvn"});
  std::filesystem::current_path(before);
  EXPECT_EQ(status, 0) << err.str();
  EXPECT_TRUE(Contains(ReadFileBytes(save.Path() + "here_log.txt"), "Log continue..."));
}

TEST_F(KorvaneCli, RetryPrintsTheWindowsLinesAndExitsWithZeroAtDownloadEnd) {
  const ClassicTaskList task = WriteClassicTaskList(save.Path(), standin.Host());
  EXPECT_EQ(Run({"--retry", task.List}), 0);
  EXPECT_EQ(out.str(), "Start...\n" + task.Tile + ":" + task.Url + " ->OK\nDownload End.\n");
  EXPECT_EQ(err.str(), "");
  EXPECT_TRUE(FileExists(task.Tile));

  EXPECT_EQ(Run({"--retry", save.Path() + "missing.ftl"}), 1);
  EXPECT_EQ(err.str(), "Cannot open file " + save.Path() + "missing.ftl\n");
}

// A batch list's rows stay inside --path: a "latitude" with folder parts is a bad row, not a
// task named after it; and a list saved with a byte order mark keeps its first place.
TEST_F(KorvaneCli, ABatchWritesOnlyInsideItsPathAndKeepsAMarkedFirstPlace) {
  const std::string list = save.Path() + "places.csv";
  WriteFileBytes(list,
                 "\xEF\xBB\xBF"
                 "48.8566,2.3522,first,1\n./../../outside/pwn,2.2945,,1\n");
  const std::string path = save.Path() + "a/b/";
  ASSERT_TRUE(std::filesystem::create_directories(path));
  EXPECT_EQ(Run({"--batch", list, "--path", path}), 1) << "the bad row leaves the batch incomplete";
  EXPECT_TRUE(Contains(err.str(), "line 2: latitude and longitude must be numbers\n")) << err.str();
  EXPECT_TRUE(FileExists(path + "first/gv_1_0_1.jpg"));
  EXPECT_FALSE(std::filesystem::exists(save.Path() + "outside"));
}

// korvane-cli as its own process: SIGINT presses Stop and the program exits 0 after the end
// sequence. The tiles are slowed down so the task is still running when the signal comes.
TEST(KorvaneCliProcess, SigintStopsTheTaskAndWaitsForItsEnd) {
  StandinFixture standin("tile every delay 200\n");
  const CliProgramFolder program(standin.ServiceConfig());
  TempFolder save;
  namespace fs = std::filesystem;
  const std::string savePath = save.Path();
  // Waits (bounded) for the first tile line, then presses Stop with SIGINT.
  const InterruptedRun run = RunAndInterrupt(
      program.Cli(),
      {"--task", "sig", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "3", "--path", savePath},
      " OK\n", std::chrono::seconds(60));
  const std::string& printed = run.Printed;
  ASSERT_TRUE(run.Signalled) << printed;
  ASSERT_TRUE(run.Exited) << printed;
  EXPECT_EQ(run.ExitStatus, ExitCode(ExitStatus::Incomplete)) << "a stopped task has tiles left";
  EXPECT_TRUE(Contains(printed, "Thread1will be terminated by user. please wait...\n"));
  EXPECT_TRUE(Contains(printed, "\nTask Stoped!\n"));
  const TStringList log = LoadLines(savePath + "sig_log.txt");
  EXPECT_EQ(log.back(), "Log file has been saved as " + savePath + "sig_log.txt");
  int tiles = 0;
  for (const auto& entry : fs::directory_iterator(savePath + "sig")) {
    if (entry.path().extension() == ".jpg") ++tiles;
  }
  EXPECT_LT(tiles, 28) << "the stop came before the grid was done";
}

// A stalled service holds the lookup, or a re-download, in a request that never ends: SIGINT
// aborts it at once instead of waiting out the time-outs and the repeats (minutes).
TEST(KorvaneCliProcess, SigintEndsAStalledLookupAndAStalledRedownloadAtOnce) {
  StandinFixture standin("metadata every stall\ntile every stall\n");
  const CliProgramFolder program(standin.ServiceConfig());
  TempFolder save;
  const std::string cli = program.Cli();
  const InterruptedRun lookup =
      RunAndInterrupt(cli,
                      {"--task", "hung", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "3",
                       "--path", save.Path()},
                      "Getting pano_id now, please wait...\n", std::chrono::seconds(30));
  ASSERT_TRUE(lookup.Signalled) << lookup.Printed;
  ASSERT_TRUE(lookup.Exited) << lookup.Printed;
  EXPECT_EQ(lookup.ExitStatus, 1);
  EXPECT_EQ(lookup.Printed, "Getting pano_id now, please wait...\nLookup stopped by user.\n");
  EXPECT_FALSE(FileExists(save.Path() + "hung.krvn"));

  const ClassicTaskList task = WriteClassicTaskList(save.Path(), standin.Host());
  const InterruptedRun redownload =
      RunAndInterrupt(cli, {"--retry", task.List}, "Start...\n", std::chrono::seconds(30));
  ASSERT_TRUE(redownload.Signalled) << redownload.Printed;
  ASSERT_TRUE(redownload.Exited) << redownload.Printed;
  EXPECT_EQ(redownload.ExitStatus, 3) << "the list was not fetched to its end";
  EXPECT_EQ(redownload.Printed, "Start...\nDownload stopped by user.\n");
  EXPECT_FALSE(FileExists(task.Tile));
}

// On a terminal, standard error shows the progress line beside the messages, while standard
// output keeps exactly the log lines; --quiet leaves the terminal to the messages.
TEST(KorvaneCliProcess, ProgressLineOnATerminalUnlessQuiet) {
  StandinFixture standin("tile every delay 100\n");
  const CliProgramFolder program(standin.ServiceConfig());
  TempFolder save;
  const std::string cli = program.Cli();
  const std::vector<std::string> task = {"--task", "shown",  "--lat", "48.8566", "--lon",
                                         "2.3522", "--zoom", "3",     "--path",  save.Path()};
  const TerminalRun shown = RunWithTerminal(cli, task, std::chrono::seconds(60));
  ASSERT_TRUE(shown.Exited) << shown.Terminal;
  EXPECT_EQ(shown.ExitStatus, 0);
  EXPECT_TRUE(Contains(shown.Terminal, "tiles 28/28  failed 0")) << shown.Terminal;
  EXPECT_TRUE(Contains(shown.Terminal, "Task stoped!")) << shown.Terminal;
  EXPECT_FALSE(Contains(shown.Printed, "tiles ")) << "the log stays as it was";
  EXPECT_FALSE(Contains(shown.Printed, "\r"));
  EXPECT_TRUE(Contains(shown.Printed, "Log file has been saved as "));

  std::vector<std::string> quietTask = task;
  quietTask[1] = "quiet";
  quietTask.push_back("--quiet");
  const TerminalRun quiet = RunWithTerminal(cli, quietTask, std::chrono::seconds(60));
  ASSERT_TRUE(quiet.Exited) << quiet.Terminal;
  EXPECT_FALSE(Contains(quiet.Terminal, "tiles ")) << quiet.Terminal;
  EXPECT_TRUE(Contains(quiet.Terminal, "Task stoped!"));
}

// Twenty places and a bad row: a first run through korvane-cli as a process is interrupted
// with SIGINT during the fifth place, whose tiles never come, and a second run finishes the batch,
// skipping the places already done.
TEST(KorvaneCliProcess, ABatchSurvivesABadRowAndAnInterruptionAndResumes) {
  // The places stand 0.01 degrees apart, each in a panorama of its own.
  const auto latitude = [](int place) { return "48." + std::to_string(10 + place); };
  const std::optional<standin::PanoramaCell> fifth = standin::CellOf(48.15, 2.35);
  ASSERT_TRUE(fifth);
  StandinFixture stalling("tile pano=" + standin::PanoIdOf(*fifth) + " every stall\n");
  TempProgramFolder program;
  const CliProgramFolder processProgram(stalling.ServiceConfig());
  TempFolder save;
  std::string list = "lat,lon,name,zoom\n# twenty places along a street\n";
  for (int i = 1; i <= 20; ++i) {
    list += latitude(i) + ",2.35,place" + std::to_string(i) + ",1\n";
    if (i == 10) list += "48.8,not a number\n";
  }
  const std::string listPath = save.Path() + "places.csv";
  WriteFileBytes(listPath, list);
  const std::string savePath = save.Path() + "tasks";
  const InterruptedRun run =
      RunAndInterrupt(processProgram.Cli(), {"--batch", listPath, "--path", savePath},
                      "== line 7: place5\n", std::chrono::seconds(60));
  const std::string& printed = run.Printed;
  ASSERT_TRUE(run.Signalled) << printed;
  ASSERT_TRUE(run.Exited) << printed;
  EXPECT_EQ(run.ExitStatus, ExitCode(ExitStatus::Incomplete)) << "a stopped batch is not complete";
  EXPECT_TRUE(Contains(printed, "line 7: place5")) << printed;
  EXPECT_FALSE(Contains(printed, "== line 8:")) << "the batch ends with the stopped task";

  // The second run, in this process against a quick stand-in, finishes the list.
  RecordingClock clock{100};
  StandinFixture quick;
  program.WriteConfig(quick.ServiceConfig());
  std::ostringstream out, err;
  EXPECT_EQ(RunKorvaneCli({"--batch", listPath, "--path", savePath}, out, err), ExitStatus::Error)
      << "the bad row keeps the batch from being complete";
  EXPECT_TRUE(Contains(err.str(), "line 13: latitude and longitude must be numbers\n"))
      << err.str();
  const TStringList summary = LoadLines(save.Path() + "places_summary.csv");
  ASSERT_EQ(summary.size(), 22u);
  EXPECT_EQ(summary[0], "place,panorama id,tiles,failed,state");
  int finishedBefore = 0, done = 0;
  for (const std::string& row : summary) {
    if (Contains(row, ",2,0,finished before")) ++finishedBefore;
    if (Contains(row, ",2,0,done")) ++done;
  }
  EXPECT_EQ(finishedBefore, 4) << "places 1 to 4 were done in the first run";
  EXPECT_EQ(done, 16);
  EXPECT_TRUE(Contains(summary[5], "line 7: place5,")) << summary[5];
  EXPECT_TRUE(Contains(summary[5], ",done")) << "the interrupted place is downloaded now";
  EXPECT_EQ(summary[11], "line 13,,,,bad row");
  EXPECT_TRUE(Contains(out.str(), "line 22: place19")) << "the table is printed at the end";
  for (int i = 1; i <= 20; ++i) {
    const std::string folder = savePath + "/place" + std::to_string(i) + "/";
    EXPECT_TRUE(FileExists(folder + "gv_0_0_1.jpg") && FileExists(folder + "gv_1_0_1.jpg")) << i;
  }
}

}  // namespace
}  // namespace korvane::test
