// A task whose disk fills up while the tiles come: each tile that cannot be stored has its
// failure line and its failed-list line, the task ends through its end sequence, nothing stored
// before is damaged, and once space is freed a re-download of the list and a continuation of the
// task complete it. The full disk is a write() that fails with ENOSPC past a number of bytes
// (SystemCallSpy), so no root and no small file system are needed.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <ostream>

#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "reliability/SavedTask.h"
#include "support/InProcessCli.h"
#include "support/SystemCallSpy.h"
#include "support/TextContains.h"
#include "support/Watchdog.h"
#include "task/FailedList.h"

namespace korvane::test {
namespace {

constexpr std::chrono::seconds RunLimit{120};

struct DiskCase {
  const char* Name;
  bool WholeSaveFolder;  // the task file, log and list share the full disk; else only the tiles
  std::size_t Room;      // bytes that still fit when the task starts
};

const DiskCase DiskCases[] = {
    {"TileFolderFillsUp", false, 100'000},
    {"WholeSaveFolderFillsUp", true, 140'000},
};

// Test names (ctest's list) show the case by its name.
void PrintTo(const DiskCase& disk, std::ostream* out) {
  *out << disk.Name;
}

class FullDisk : public InProcessCli<::testing::TestWithParam<DiskCase>> {
 protected:
  FullDisk() { program.WriteConfig(standin.ServiceConfig()); }

  int Run(const std::vector<std::string>& arguments) {
    const Watchdog watchdog(RunLimit, "korvane-cli " + arguments.front());
    return RunCli(arguments);
  }
  int RunTask() {
    return Run({"--task", "full.krvn", "--lat", "48.8566", "--lon", "2.3522", "--zoom", "3",
                "--path", save.Path()});
  }

  // The classic address of the tile stored at path (".../gv_X_Y_3.jpg").
  std::string UrlOf(const SavedTask& task, const std::string& path) const {
    const auto [x, y] = TileOfFile(path);
    return "http://" + standin.Host() + "/cbk?output=tile&panoid=" + task.PanoId +
           "&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&zoom=3";
  }
};

// The worker's own part of a line "T<n>...", or nothing for any other line.
std::optional<std::string> WorkerPart(const std::string& line) {
  if (line.size() < 2 || line[0] != 'T' || line[1] < '1' || line[1] > '8') return std::nullopt;
  return line.substr(2);
}

// "T<n> Cannot create file <path>" lines: the tiles that could not be stored.
std::vector<std::string> UnstoredTiles(const std::string& printed) {
  const std::string prefix = " Cannot create file ";
  std::vector<std::string> paths;
  for (const std::string& line : SplitLines(printed)) {
    const auto part = WorkerPart(line);
    if (part && part->starts_with(prefix)) paths.push_back(part->substr(prefix.size()));
  }
  return paths;
}

// The file names of the tiles reported stored ("T<n>:seq=<k>,<name> OK").
std::vector<std::string> TilesReportedSaved(const std::string& printed) {
  std::vector<std::string> names;
  for (const std::string& line : SplitLines(printed)) {
    const auto part = WorkerPart(line);
    const std::size_t comma = line.find(',');
    if (part && part->starts_with(":seq=") && line.ends_with(" OK") && comma != std::string::npos)
      names.push_back(line.substr(comma + 1, line.size() - 3 - comma - 1));
  }
  return names;
}

TEST_P(FullDisk, TilesThatCannotBeStoredAreListedAndTheTaskCompletesOnceSpaceIsFreed) {
  const DiskCase& disk = GetParam();
  SystemCallSpy spy;
  spy.FillDisk(disk.WholeSaveFolder ? save.Path() : save.Path() + "full/", disk.Room);
  ASSERT_EQ(RunTask(), ExitCode(ExitStatus::Incomplete)) << "tiles are listed as failed\n"
                                                         << err.str();
  const SavedTask task = ReadSavedTask(save.Path(), "full");
  const std::string printed = out.str();
  ASSERT_GT(spy.FailedWrites(), 0) << "the disk never filled up";

  // Each worker that met the full disk says which tile it could not store, and ends.
  const std::vector<std::string> unstored = UnstoredTiles(printed);
  ASSERT_FALSE(unstored.empty()) << printed;
  EXPECT_LE(unstored.size(), 8u);
  // The end sequence ran: its lines, and the end box after the error of any file it could not
  // save.
  EXPECT_TRUE(Contains(printed, "\nLog file has been saved as " + task.LogFile + "\n")) << printed;
  EXPECT_TRUE(err.str().ends_with("Task stoped!" + std::string(20, ' ') + "\n")) << err.str();
  if (disk.WholeSaveFolder) {
    EXPECT_TRUE(Contains(err.str(), "Cannot create file " + task.LogFile + "\n")) << err.str();
  } else {
    // The list on disk names every tile that could not be stored.
    const std::string list = ReadFileBytes(task.FailedList);
    for (const std::string& path : unstored)
      EXPECT_TRUE(Contains(list, FailedLine(path, UrlOf(task, path)))) << path << "\n" << list;
  }

  // Nothing stored is damaged, nothing half-written is left, no tile reported stored is not.
  const TileFolderReport before = CompareTiles(task);
  EXPECT_EQ(before.Different, std::vector<std::string>());
  EXPECT_EQ(before.Strays, std::vector<std::string>());
  EXPECT_EQ(TemporariesIn(save.Path()), std::vector<std::string>());
  for (const std::string& name : TilesReportedSaved(printed)) {
    EXPECT_EQ(std::count(before.Missing.begin(), before.Missing.end(), name), 0) << name;
  }
  EXPECT_FALSE(task.PanoId.empty()) << "the task file is damaged";
  EXPECT_EQ(LoadLines(task.LogFile).at(0), "Project: " + task.TaskFile);

  // Space is freed: the list's tiles come with a re-download, the rest with a continuation.
  spy.FreeDisk();
  if (!disk.WholeSaveFolder) {
    EXPECT_EQ(Run({"--retry", task.FailedList}), 0) << err.str();
    for (const std::string& path : unstored)
      EXPECT_TRUE(Contains(out.str(), path + ":" + UrlOf(task, path) + " ->OK")) << out.str();
  }
  ASSERT_EQ(RunTask(), 0) << err.str();
  EXPECT_TRUE(Contains(ReadFileBytes(task.LogFile), "\r\nLog continue...\r\n"));
  const TileFolderReport after = CompareTiles(task);
  EXPECT_EQ(after.Identical, task.Grid.TotalCount());
  EXPECT_EQ(after.Lost(), 0) << ::testing::PrintToString(after.Missing)
                             << ::testing::PrintToString(after.Different);
  EXPECT_EQ(after.Strays, std::vector<std::string>());
}

INSTANTIATE_TEST_SUITE_P(Disks, FullDisk, ::testing::ValuesIn(DiskCases),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace korvane::test
