#include <gtest/gtest.h>

#include "download/TileWalk.h"
#include "task/ResumePosition.h"

namespace korvane {
namespace {

// The classic grid at zoom 5: more rows than workers, so a worker has several tiles a column.
constexpr TileGrid ZoomFive{0, 0, 25, 12};
constexpr int Workers = 8;

struct PositionCase {
  int X, Y;
  std::optional<std::pair<int, int>> Recorded;
};

TEST(ResumePosition, ATileInColumnOrRowZeroIsRecordedAsTheWorkersLatestTileOutsideBoth) {
  using P = std::pair<int, int>;
  const PositionCase cases[] = {
      {3, 4, P{3, 4}},        // stands for itself
      {3, 0, P{2, 5}},        // k 40 -> 32
      {2, 0, P{1, 5}},        // k 27 -> 19
      {1, 0, P{1, 0}},        // k 14 -> 6, in column 0 too: itself, "no position"
      {0, 7, P{0, 7}},        // the worker's first tile
      {0, 0, std::nullopt},   // a worker that finished nothing leaves its older position
      {26, 1, std::nullopt},  // outside the grid
      {3, 13, std::nullopt},
  };
  for (const PositionCase& c : cases) {
    EXPECT_EQ(RecordableResumePosition(ZoomFive, Workers, c.X, c.Y), c.Recorded)
        << c.X << "," << c.Y;
  }
  EXPECT_EQ(RecordableResumePosition(ZoomFive, 1, 3, 0), (P{2, 12}));
}

// Whatever tile a worker finished last, the position recorded for it makes a continued walk
// start no later than the tile after it: nothing the worker never fetched is passed over.
TEST(ResumePosition, AContinuedWalkNeverPassesOverATileTheWorkerDidNotFinish) {
  for (int k = 1; k <= ZoomFive.TotalCount(); ++k) {
    const int x = (k - 1) / ZoomFive.Rows();
    const int y = (k - 1) % ZoomFive.Rows();
    const auto recorded = RecordableResumePosition(ZoomFive, Workers, x, y);
    // As a continued task reads it: a 0 is no position.
    const int limit = recorded && recorded->first > 0 && recorded->second > 0
                          ? ZoomFive.SequenceNumber(recorded->first, recorded->second)
                          : 0;
    TileWalk walk(ZoomFive, Workers, k % Workers, limit);
    const std::optional<WalkStep> next = walk.Next();
    if (k + Workers <= ZoomFive.TotalCount()) {
      ASSERT_TRUE(next) << k;
      EXPECT_LE(next->K, k + Workers) << "tile " << k << " recorded as " << limit;
    }
  }
}

}  // namespace
}  // namespace korvane
