#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "download/SharedTileWalk.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/TaskFile.h"

namespace korvane::test {
namespace {

std::vector<int> SequenceOf(SharedTileWalk& walk) {
  std::vector<int> numbers;
  while (const auto step = walk.Next())
    numbers.push_back(step->K);
  return numbers;
}

TEST(SharedTileWalk, HandsOutTheGridInSequenceOrderPassingOverFinishedTiles) {
  const TileGrid grid{0, 0, 3, 1};  // 4 columns, 2 rows
  SharedTileWalk all(grid, [](const WalkStep&) { return false; });
  EXPECT_EQ(SequenceOf(all), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(all.FinishedEarlier(), 0);

  SharedTileWalk some(grid, [](const WalkStep& step) { return step.K % 3 == 0; });
  EXPECT_EQ(SequenceOf(some), (std::vector<int>{1, 2, 4, 5, 7, 8}));
  EXPECT_EQ(some.FinishedEarlier(), 2);
  EXPECT_FALSE(some.Next());
}

TEST(SharedTileWalk, AHandedBackTileGoesOutFirstAndTheWalkIsDoneOnlyWhenNothingIsOut) {
  SharedTileWalk walk(TileGrid{0, 0, 1, 0}, [](const WalkStep&) { return false; });
  const auto first = walk.Next();
  const auto second = walk.Next();
  ASSERT_TRUE(first && second);
  EXPECT_FALSE(walk.Next());
  walk.Settle();
  EXPECT_FALSE(walk.Done());  // the first is still out and may come back
  walk.GiveBack(*first);
  EXPECT_FALSE(walk.Done());
  EXPECT_EQ(walk.Next()->K, first->K);
  walk.Settle();
  EXPECT_TRUE(walk.Done());
}

TEST(SharedTileWalk, ManyWorkersTakeEveryTileExactlyOnce) {
  const TileGrid grid{0, 0, 63, 31};
  SharedTileWalk walk(grid, [](const WalkStep&) { return false; });
  std::vector<std::vector<std::pair<int, int>>> taken(16);
  std::vector<std::thread> workers;
  for (auto& mine : taken) {
    workers.emplace_back([&walk, &mine] {
      while (const auto step = walk.Next())
        mine.emplace_back(step->X, step->Y);
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  std::set<std::pair<int, int>> tiles;
  std::size_t count = 0;
  for (const auto& mine : taken) {
    count += mine.size();
    tiles.insert(mine.begin(), mine.end());
  }
  EXPECT_EQ(count, 64u * 32u);
  EXPECT_EQ(tiles.size(), 64u * 32u);
}

// A continued task of today's protocol over a 4 x 2 grid (eight tiles, so eight workers of the
// per-worker walk had one tile each).
class FinishedInEarlierRunTest : public ::testing::Test {
 protected:
  void MakeTask(bool continued, const std::vector<std::pair<int, TilePosition>>& positions) {
    params.Protocol = PanoramaProtocol::Current;
    params.PanoId = "AbCdEfGhIjKlMnOpQrStUv";
    params.Zoom = 2;
    params.ImageWidth = 2048;
    params.ImageHeight = 1024;
    params.TileWidth = 512;
    params.TileHeight = 512;
    params.SavePath = save.Path();
    params.TaskFileName = "t.krvn";
    TaskFile file;
    file.Protocol = PanoramaProtocol::Current;
    file.Zoom = 2;
    file.Grid = TileGrid{0, 0, 3, 1};
    WriteTaskFile(save.Path() + "t.krvn", file);
    WriteResumePositions(save.Path() + "t.krvn", positions);
    params.ContinueTask = continued;
    task = std::make_unique<DownloadTask>(&params);
  }
  bool Finished(int x, int y) const {
    return FinishedInEarlierRun(*task, {x, y, task->Grid().SequenceNumber(x, y)});
  }

  TempProgramFolder program;
  TempFolder save;
  TaskParameters params;
  std::unique_ptr<DownloadTask> task;
};

TEST_F(FinishedInEarlierRunTest, ATileFileOrAnOldWorkerPositionSaysFinished) {
  // Slot 3 of the old walk had k 3, the tile (1, 0); slot 5 had k 5, (2, 0).
  MakeTask(true, {{3, {1, 1}}, {5, {2, 0}}});
  WriteFileBytes(task->GetTileFilePath(3, 1), "\xFF\xD8tile\xFF\xD9");
  // What a power cut can leave of a tile stored without its own flush.
  WriteFileBytes(task->GetTileFilePath(3, 0), "");
  WriteFileBytes(task->GetTileFilePath(2, 1),
                 "\xFF\xD8"
                 "cut short");
  struct Case {
    int X, Y;
    bool Finished;
  } cases[] = {
      {0, 0, false},  // no file, k 1 of slot 1, which recorded nothing
      {1, 0, true},   // k 3 of slot 3, whose position (1, 1) is k 4
      {2, 0, false},  // slot 5's position has a row of 0: "no position"
      {3, 1, true},   // its file stands whole
      {1, 1, false},  // k 4 belongs to slot 4, which recorded nothing
      {3, 0, false},  // empty
      {2, 1, false},  // no end
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.X) + "," + std::to_string(c.Y));
    EXPECT_EQ(Finished(c.X, c.Y), c.Finished);
  }
}

TEST_F(FinishedInEarlierRunTest, ANewTaskHasNothingFinishedWhateverTheFolderHolds) {
  MakeTask(false, {{3, {1, 1}}});
  WriteFileBytes(task->GetTileFilePath(0, 0), "left by another task");
  EXPECT_FALSE(Finished(0, 0));
  EXPECT_FALSE(Finished(1, 0));
}

}  // namespace
}  // namespace korvane::test
