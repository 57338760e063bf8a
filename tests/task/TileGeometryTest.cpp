#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/Exception.h"
#include "task/TileGrid.h"

namespace korvane {
namespace {

TEST(TileGeometry, TheClassicGridOfEachZoomLevel) {
  const struct {
    int Zoom, Width, Height, Columns, Rows;
  } levels[] = {
      {1, 832, 416, 2, 1},    {2, 1664, 832, 4, 2},     {3, 3328, 1664, 7, 4},
      {4, 6656, 3328, 13, 7}, {5, 13312, 6656, 26, 13},
  };
  for (const auto& level : levels) {
    EXPECT_EQ(ClassicPanoramaWidth(level.Zoom), level.Width) << level.Zoom;
    EXPECT_EQ(ClassicPanoramaHeight(level.Zoom), level.Height) << level.Zoom;
    const TileGrid grid = GridForZoom(level.Zoom);
    EXPECT_EQ(grid.Columns(), level.Columns) << level.Zoom;
    EXPECT_EQ(grid.Rows(), level.Rows) << level.Zoom;
  }
  EXPECT_THROW(GridForZoom(MinZoom - 1), Exception);
  EXPECT_THROW(GridForZoom(MaxZoom + 1), Exception);
}

TEST(TileGeometry, DerivedLimitsKeepTheirValues) {
  // The tile folder's cap follows from the classic grid; a change there must not move it.
  EXPECT_EQ(MaxLooseTileNumber, 104);
  EXPECT_EQ(TilesCovering(TilePixels), 1);
  EXPECT_EQ(TilesCovering(TilePixels + 1), 2);
}

// A grid read from an absurd file must not overflow int in its counts (undefined behaviour):
// they are held to 0..INT_MAX.
TEST(TileGeometry, GridCountsOfAbsurdGridsStayInRange) {
  constexpr int Low = std::numeric_limits<int>::min();
  constexpr int High = std::numeric_limits<int>::max();
  struct Case {
    TileGrid Grid;
    int Columns, Rows, Total;
  };
  const std::vector<Case> cases{
      {{0, 0, 25, 12}, 26, 13, 338},      {{Low, 0, High, 0}, High, 1, High},
      {{0, Low, 0, High}, 1, High, High}, {{0, 0, 65535, 65535}, 65536, 65536, High},
      {{High, High, Low, Low}, 0, 0, 0},  {{5, 5, 3, 3}, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(
        std::vector<int>{c.Grid.MinX, c.Grid.MinY, c.Grid.MaxX, c.Grid.MaxY}));
    EXPECT_EQ(c.Grid.Columns(), c.Columns);
    EXPECT_EQ(c.Grid.Rows(), c.Rows);
    EXPECT_EQ(c.Grid.TotalCount(), c.Total);
  }
  const TileGrid wide{Low, Low, High, High};
  EXPECT_EQ(wide.SequenceNumber(High, High), High);
  EXPECT_EQ(wide.SequenceNumber(Low, Low), 1);
  EXPECT_EQ((TileGrid{0, 0, 25, 12}.SequenceNumber(2, 3)), 2 * 13 + 3 + 1);
}

}  // namespace
}  // namespace korvane
