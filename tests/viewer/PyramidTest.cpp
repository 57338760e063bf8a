#include <gtest/gtest.h>

#include <cstring>

#include "viewer/Pyramid.h"

namespace korvane::viewer {
namespace {

RgbBuffer Filled(int width, int height, std::uint8_t value) {
  RgbBuffer buffer(width, height);
  std::memset(buffer.Pixels.data(), value, buffer.Pixels.size());
  return buffer;
}

TEST(Pyramid, LevelsHalveRoundingUpUntilSmall) {
  RgbBuffer base(1001, 500);
  for (int y = 0; y < base.Height; ++y) {
    for (int x = 0; x < base.Width; ++x)
      base.Row(y)[x * 3] = static_cast<std::uint8_t>((x + y) % 2 ? 200 : 100);
  }
  const Pyramid pyramid = Pyramid::FromLevel(1001, 500, 0, std::move(base));
  ASSERT_EQ(pyramid.LevelCount(), 3);  // 1001, 501, 251: the last is at most 256 wide
  EXPECT_EQ(pyramid.Level(1).Width, 501);
  EXPECT_EQ(pyramid.Level(1).Height, 250);
  EXPECT_EQ(pyramid.Level(2).Width, 251);
  EXPECT_EQ(pyramid.Level(2).Height, 125);
  EXPECT_EQ(pyramid.Level(1).At(7, 9)[0], 150);  // the average of a 2 x 2 checkerboard
  // The last column of level 1 averages the single last column of level 0 with itself.
  EXPECT_EQ(pyramid.Level(1).At(500, 0)[0], 150);
  EXPECT_EQ(Pyramid::TotalBytes(1001, 500), (1001u * 500 + 501 * 250 + 251 * 125) * 3);
}

TEST(Pyramid, PasteUpdatesEveryCoarserLevelOverItsArea) {
  Pyramid pyramid = Pyramid::FromLevel(1024, 512, 0, Filled(1024, 512, 40));
  pyramid.Paste(512, 256, Filled(512, 512, 240));  // reaches past the bottom: cut
  EXPECT_EQ(pyramid.Level(0).At(600, 300)[1], 240);
  EXPECT_EQ(pyramid.Level(0).At(511, 300)[1], 40);
  const RgbBuffer& coarse = pyramid.Level(pyramid.LevelCount() - 1);  // 256 x 128
  EXPECT_EQ(coarse.At(200, 100)[2], 240);
  EXPECT_EQ(coarse.At(100, 100)[2], 40);
  EXPECT_EQ(coarse.At(200, 20)[2], 40);
}

TEST(Pyramid, FullSizeArrivesAfterAScaledDecode) {
  Pyramid pyramid = Pyramid::FromLevel(2048, 1024, 2, Filled(512, 256, 90));
  EXPECT_EQ(pyramid.FinestLevel(), 2);
  EXPECT_EQ(pyramid.LevelCount(), 4);
  EXPECT_EQ(pyramid.Level(3).At(10, 10)[0], 90);
  pyramid.SetFullSize(Filled(2048, 1024, 30));
  EXPECT_EQ(pyramid.FinestLevel(), 0);
  EXPECT_EQ(pyramid.Level(1).Width, 1024);
  EXPECT_EQ(pyramid.Level(1).At(1000, 500)[0], 30);  // made from the full size
  EXPECT_EQ(pyramid.Level(2).At(10, 10)[0], 90);     // the scaled decode's level stays
}

}  // namespace
}  // namespace korvane::viewer
