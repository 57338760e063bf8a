#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <utility>
#include <vector>

#include "download/TileWalk.h"

namespace korvane::test {
namespace {

struct Tile {
  int X, Y, K;
  bool operator==(const Tile&) const = default;
};

void PrintTo(const Tile& tile, std::ostream* out) {
  *out << "(" << tile.X << "," << tile.Y << ") k " << tile.K;
}

std::vector<Tile> TilesOf(int zoom, int threadCount, int index, int resumeLimit = 0) {
  TileWalk walk(GridForZoom(zoom), threadCount, index, resumeLimit);
  std::vector<Tile> tiles;
  while (auto step = walk.Next())
    tiles.push_back({step->X, step->Y, step->K});
  return tiles;
}

TEST(TileWalk, EightWorkersShareEveryGridExactlyOnce) {
  for (int zoom = MinZoom; zoom <= MaxZoom; ++zoom) {
    SCOPED_TRACE(zoom);
    const TileGrid grid = GridForZoom(zoom);
    const int threadCount = std::min(8, grid.TotalCount());
    std::map<std::pair<int, int>, int> owners;
    for (int index = 0; index < threadCount; ++index) {
      for (const Tile& tile : TilesOf(zoom, threadCount, index)) {
        EXPECT_EQ(tile.K, grid.SequenceNumber(tile.X, tile.Y));
        EXPECT_EQ(owners.count({tile.X, tile.Y}), 0u) << tile.X << "," << tile.Y;
        owners[{tile.X, tile.Y}] = index;
      }
    }
    EXPECT_EQ(static_cast<int>(owners.size()), grid.TotalCount());
  }
}

TEST(TileWalk, SequenceNumberDecidesTheWorker) {
  // Zoom 2: (0,0) is k 1 for worker 1, ..., (3,1) is k 8 for worker 0, the last tile.
  EXPECT_EQ(TilesOf(2, 8, 1), (std::vector<Tile>{{0, 0, 1}}));
  EXPECT_EQ(TilesOf(2, 8, 7), (std::vector<Tile>{{3, 0, 7}}));
  EXPECT_EQ(TilesOf(2, 8, 0), (std::vector<Tile>{{3, 1, 8}}));
  // Zoom 1 runs two workers: worker 1 takes (0,0), worker 0 (1,0).
  EXPECT_EQ(TilesOf(1, 2, 1), (std::vector<Tile>{{0, 0, 1}}));
  EXPECT_EQ(TilesOf(1, 2, 0), (std::vector<Tile>{{1, 0, 2}}));
  // Zoom 3, worker 3 of 8: k 3, 11, 19, 27.
  EXPECT_EQ(TilesOf(3, 8, 3), (std::vector<Tile>{{0, 2, 3}, {2, 2, 11}, {4, 2, 19}, {6, 2, 27}}));
  // Zoom 5: the busiest of eight workers owns 43 of the 338 tiles.
  EXPECT_EQ(TilesOf(5, 8, 1).size(), 43u);
  EXPECT_EQ(TilesOf(5, 8, 0).size(), 42u);
  EXPECT_EQ(TilesOf(5, 8, 0).back(), (Tile{25, 10, 336}));
}

TEST(TileWalk, ResumePassesOverTheFinishedTiles) {
  // Zoom 3, worker 2 last finished (2,1): limit 10, so it starts at k 18, tile (4,1).
  const TileGrid zoom3 = GridForZoom(3);
  EXPECT_EQ(zoom3.SequenceNumber(2, 1), 10);
  EXPECT_EQ(TilesOf(3, 8, 2, 10), (std::vector<Tile>{{4, 1, 18}, {6, 1, 26}}));
  // Zoom 4, worker 2 last finished (4,5): limit 34, resumes at k 42, tile (5,6).
  const TileGrid zoom4 = GridForZoom(4);
  EXPECT_EQ(zoom4.SequenceNumber(4, 5), 34);
  const auto resumed = TilesOf(4, 8, 2, 34);
  ASSERT_FALSE(resumed.empty());
  EXPECT_EQ(resumed.front(), (Tile{5, 6, 42}));
  // A limit at or past the worker's last tile leaves nothing to do.
  EXPECT_TRUE(TilesOf(3, 8, 2, 26).empty());
  EXPECT_TRUE(TilesOf(2, 8, 0, 8).empty());
}

}  // namespace
}  // namespace korvane::test
