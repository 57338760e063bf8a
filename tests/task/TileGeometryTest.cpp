#include <gtest/gtest.h>

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

}  // namespace
}  // namespace korvane
