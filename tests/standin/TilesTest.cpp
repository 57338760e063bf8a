#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "JpegDecode.h"
#include "PanoramaId.h"
#include "PanoramaPainter.h"
#include "TileCache.h"
#include "TileGrid.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

const std::string PanoId = PanoIdOf(*CellOf(48.8584, 2.2945));

TEST(TileGrid, GridsAreThePaddedPanoramaSizes) {
  const int columns[] = {2, 4, 7, 13, 26};
  const int rows[] = {1, 2, 4, 7, 13};
  for (int zoom = MinZoom; zoom <= MaxZoom; ++zoom) {
    EXPECT_EQ(ClassicGridColumns(zoom), columns[zoom - 1]);
    EXPECT_EQ(ClassicGridRows(zoom), rows[zoom - 1]);
  }
  EXPECT_EQ(FullImageWidth, 13312);
  EXPECT_EQ(FullImageHeight, 6656);
  EXPECT_FALSE(IsGridTile(2, 0, 1));
  EXPECT_FALSE(IsGridTile(0, 1, 1));
  EXPECT_FALSE(IsGridTile(0, 0, 0));
  EXPECT_FALSE(IsGridTile(0, 0, 6));
  EXPECT_FALSE(IsGridTile(-1, 0, 3));
  EXPECT_TRUE(IsGridTile(25, 12, 5));
}

TEST(Tiles, EveryTileOfEveryZoomLevelIsABaseline512SquareJpeg) {
  TileCache cache;
  for (int zoom = MinZoom; zoom <= MaxZoom; ++zoom) {
    for (int x = 0; x < ClassicGridColumns(zoom); ++x) {
      for (int y = 0; y < ClassicGridRows(zoom); ++y) {
        const auto jpeg = cache.Tile(PanoId, x, y, zoom);
        ASSERT_GE(jpeg->size(), 2u);
        ASSERT_EQ(jpeg->substr(0, 2), "\xFF\xD8");
        const DecodedJpeg decoded = DecodeJpeg(*jpeg);
        ASSERT_TRUE(decoded.Ok) << decoded.Error << " tile " << x << "," << y << "," << zoom;
        EXPECT_EQ(decoded.Warnings, 0);
        EXPECT_EQ(decoded.Width, TilePixels);
        EXPECT_EQ(decoded.Height, TilePixels);
        EXPECT_EQ(decoded.Components, 3);
        EXPECT_FALSE(decoded.Progressive);
      }
    }
  }
}

// Mean absolute difference per channel between a decoded tile and the panorama's pixels at the
// tile's place, leaving out the tile's label.
double MeanDifference(const DecodedJpeg& tile, const RgbImage& expected, const PixelBox& label) {
  long long sum = 0;
  long long count = 0;
  for (int y = 0; y < TilePixels; ++y) {
    for (int x = 0; x < TilePixels; ++x) {
      if (x < label.Left + label.Width + 2 && y < label.Top + label.Height + 2) continue;
      const Rgb want = expected.At(x, y);
      sum += std::abs(tile.At(x, y, 0) - want.R) + std::abs(tile.At(x, y, 1) - want.G) +
             std::abs(tile.At(x, y, 2) - want.B);
      count += 3;
    }
  }
  return static_cast<double>(sum) / static_cast<double>(count);
}

TEST(Tiles, StitchedTilesReproduceThePanoramaAndAreBlackBeyondIt) {
  TileCache cache;
  for (const int zoom : {2, 3}) {
    const PanoramaPainter painter(PanoId, zoom);
    ASSERT_EQ(painter.Width(), 416 << zoom);
    ASSERT_EQ(painter.Height(), 208 << zoom);
    for (int x = 0; x < ClassicGridColumns(zoom); ++x) {
      for (int y = 0; y < ClassicGridRows(zoom); ++y) {
        const DecodedJpeg tile = DecodeJpeg(*cache.Tile(PanoId, x, y, zoom));
        ASSERT_TRUE(tile.Ok);
        RgbImage expected(TilePixels, TilePixels);
        painter.Paint(x * TilePixels, y * TilePixels, expected);
        EXPECT_LT(MeanDifference(tile, expected, TileLabelBox(x, y, zoom)), 3.0)
            << "tile " << x << "," << y << " zoom " << zoom;
        // Beyond the panorama's right and bottom edges (a margin for the JPEG's blur): black.
        int bright = 0;
        for (int ty = 0; ty < TilePixels; ++ty) {
          for (int tx = 0; tx < TilePixels; ++tx) {
            const int px = x * TilePixels + tx;
            const int py = y * TilePixels + ty;
            if (px < painter.Width() + 8 && py < painter.Height() + 8) continue;
            bright += tile.At(tx, ty, 0) + tile.At(tx, ty, 1) + tile.At(tx, ty, 2) > 24 ? 1 : 0;
          }
        }
        EXPECT_EQ(bright, 0) << "tile " << x << "," << y << " zoom " << zoom;
      }
    }
  }
}

TEST(Tiles, HeadingMarksStandEvery30Degrees) {
  // Zoom 2: 1664 x 832, marks 4 pixels wide from heading 0 at the left edge.
  TileCache cache;
  const int zoom = 2;
  const int width = ClassicPanoramaWidth(zoom);
  const int row = ClassicPanoramaHeight(zoom) * 55 / 100;  // just below the horizon
  std::vector<DecodedJpeg> rowTiles;
  for (int x = 0; x < ClassicGridColumns(zoom); ++x) {
    rowTiles.push_back(DecodeJpeg(*cache.Tile(PanoId, x, row / TilePixels, zoom)));
  }
  auto pixel = [&](int px, int channel) {
    return rowTiles[static_cast<std::size_t>(px / TilePixels)].At(px % TilePixels, row % TilePixels,
                                                                  channel);
  };
  for (int k = 0; k < 12; ++k) {
    const int mark = k * width / 12 + 2;
    EXPECT_GT(pixel(mark, 0), 170) << "heading " << 30 * k;
    EXPECT_LT(pixel(mark, 1), 100) << "heading " << 30 * k;
    const int between = mark + width / 24;
    EXPECT_LT(pixel(between, 0), 170) << "between " << 30 * k << " and " << 30 * k + 30;
  }
}

TEST(Tiles, SamePanoramaGivesTheSameBytesAndAnotherPanoramaOthers) {
  TileCache first;
  TileCache second;
  EXPECT_EQ(*first.Tile(PanoId, 3, 1, 3), *second.Tile(PanoId, 3, 1, 3));
  const std::string other = PanoIdOf(*CellOf(-33.8568, 151.2153));
  EXPECT_NE(*first.Tile(PanoId, 3, 1, 3), *first.Tile(other, 3, 1, 3));
}

TEST(Tiles, UnknownIdsAndTilesOutsideTheGridAreBlack) {
  TileCache cache;
  const auto black = cache.BlackTile();
  const DecodedJpeg decoded = DecodeJpeg(*black);
  ASSERT_TRUE(decoded.Ok);
  ASSERT_EQ(decoded.Width, TilePixels);
  ASSERT_EQ(decoded.Height, TilePixels);
  for (const std::uint8_t value : decoded.Pixels)
    ASSERT_LE(value, 2);
  EXPECT_EQ(cache.Tile("AAAAAAAAAAAAAAAAAAAAAA", 0, 0, 1), black);
  EXPECT_EQ(cache.Tile("", 0, 0, 1), black);
  EXPECT_EQ(cache.Tile(PanoId, 2, 0, 1), black);
  EXPECT_EQ(cache.Tile(PanoId, 0, 13, 5), black);
  EXPECT_EQ(cache.Tile(PanoId, 0, 0, 6), black);
  EXPECT_EQ(cache.Tile(PanoId, -1, 0, 2), black);
  EXPECT_EQ(cache.EncodeCount(), 0u);
}

TEST(TileCache, DropsTheLeastRecentlyUsedTilesBeyondItsBound) {
  TileCache probe;
  const std::size_t a = probe.Tile(PanoId, 0, 0, 2)->size();
  const std::size_t b = probe.Tile(PanoId, 1, 0, 2)->size();
  const std::size_t c = probe.Tile(PanoId, 2, 0, 2)->size();
  TileCache cache(a + std::max(b, c));  // room for (0, 0) and one of the others
  cache.Tile(PanoId, 0, 0, 2);
  cache.Tile(PanoId, 1, 0, 2);
  cache.Tile(PanoId, 0, 0, 2);  // used again: (1, 0) is now the oldest
  cache.Tile(PanoId, 2, 0, 2);
  ASSERT_EQ(cache.EncodeCount(), 3u);
  cache.Tile(PanoId, 0, 0, 2);
  EXPECT_EQ(cache.EncodeCount(), 3u);
  cache.Tile(PanoId, 1, 0, 2);
  EXPECT_EQ(cache.EncodeCount(), 4u);
}

}  // namespace
}  // namespace korvane::test
