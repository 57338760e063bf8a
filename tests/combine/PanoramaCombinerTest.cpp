#include <gtest/gtest.h>

#include <algorithm>

#include "CombineTestTiles.h"
#include "combine/PanoramaCombiner.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/ExifReadBack.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

using test::Colour;
using test::DecodePicture;
using test::Near;
using test::TileColour;

class PanoramaCombinerTest : public ::testing::Test {
 protected:
  CombineReport CombineTiles(const std::string& taskFile, bool replace = false) {
    CombineRequest request;
    request.OutputPath = DefaultPanoramaPath(taskFile);
    request.Replace = replace;
    return CombinePanorama(ReadTaskTiles(taskFile), request);
  }

  // Checks the pixels on both sides of every tile edge along the row, and the last column.
  void ExpectRowOfTiles(const test::DecodedPicture& picture, std::size_t rowIndex, int y) {
    const int tileY = y / TilePixels;
    for (int x = 0; x < picture.Width; x += TilePixels) {
      const int tileX = x / TilePixels;
      EXPECT_TRUE(Near(picture.At(rowIndex, x), TileColour(tileX, tileY)))
          << "left edge of tile " << tileX << "," << tileY;
      const int right = std::min(x + TilePixels, picture.Width) - 1;
      EXPECT_TRUE(Near(picture.At(rowIndex, right), TileColour(tileX, tileY)))
          << "right edge of tile " << tileX << "," << tileY;
    }
  }

  test::TempFolder folder_;
};

TEST_F(PanoramaCombinerTest, ClassicZoom3_28TilesCroppedToTheClassicSize) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "classic", {});
  const CombineReport report = CombineTiles(task);
  EXPECT_EQ(report.OutputPath, folder_.Path() + "classic.jpg");
  EXPECT_EQ(report.TileCount, 28);
  EXPECT_TRUE(report.MissingTiles.empty());

  // Rows on both sides of each tile edge, and the crop edge (1664 = 3 tiles + 128 lines).
  const std::vector<int> rows{0, 511, 512, 1023, 1024, 1535, 1536, 1663};
  const auto picture = DecodePicture(report.OutputPath, rows);
  EXPECT_EQ(picture.Width, 3328);
  EXPECT_EQ(picture.Height, 1664);
  for (std::size_t i = 0; i < rows.size(); ++i)
    ExpectRowOfTiles(picture, i, rows[i]);
}

TEST_F(PanoramaCombinerTest, ImageSection_32TilesCroppedInsideTheLastTiles) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "current",
                                                  {.Zoom = 3,
                                                   .Columns = 8,
                                                   .Rows = 4,
                                                   .ImageWidth = 3900,
                                                   .ImageHeight = 1900,
                                                   .Date = "2019-07"});
  const CombineReport report = CombineTiles(task);
  EXPECT_EQ(report.TileCount, 32);
  const std::vector<int> rows{0, 1535, 1536, 1899};
  const auto picture = DecodePicture(report.OutputPath, rows);
  EXPECT_EQ(picture.Width, 3900);
  EXPECT_EQ(picture.Height, 1900);
  for (std::size_t i = 0; i < rows.size(); ++i)
    ExpectRowOfTiles(picture, i, rows[i]);
  EXPECT_TRUE(Near(picture.At(3, 3899), TileColour(7, 3)));

  // The task's month also reaches EXIF, in the segment before the XMP.
  ASSERT_EQ(picture.App1Segments.size(), 2u);
  const auto exif = test::ReadExifSegment(picture.App1Segments[0]);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->Text(test::ExifFields::Ifd::Exif, 0x9003), "2019:07:01 00:00:00");
  const std::string& xmp = picture.App1Segments[1];
  EXPECT_EQ(xmp.rfind("http://ns.adobe.com/xap/1.0/", 0), 0u);
  for (const char* attribute :
       {"GPano:ProjectionType=\"equirectangular\"", "GPano:UsePanoramaViewer=\"True\"",
        "GPano:FullPanoWidthPixels=\"3900\"", "GPano:FullPanoHeightPixels=\"1900\"",
        "GPano:CroppedAreaImageWidthPixels=\"3900\"", "GPano:CroppedAreaImageHeightPixels=\"1900\"",
        "GPano:CroppedAreaLeftPixels=\"0\"", "GPano:CroppedAreaTopPixels=\"0\"",
        "GPano:FirstPhotoDate=\"2019-07\"", "exif:DateTimeOriginal=\"2019-07\""}) {
    EXPECT_NE(xmp.find(attribute), std::string::npos) << attribute;
  }
}

TEST_F(PanoramaCombinerTest, Zoom5_338TilesInBoundedBands) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "big", test::ClassicAtZoom(5));
  const CombineReport report = CombineTiles(task);
  EXPECT_EQ(report.TileCount, 338);
  const std::vector<int> rows{0, 3071, 3072, 6655};
  const auto picture = DecodePicture(report.OutputPath, rows);
  EXPECT_EQ(picture.Width, 13312);
  EXPECT_EQ(picture.Height, 6656);
  for (std::size_t i = 0; i < rows.size(); ++i)
    ExpectRowOfTiles(picture, i, rows[i]);
  // Never more than two bands of scanlines: about 3 MiB for a picture of 250 MiB.
  EXPECT_EQ(report.BandsInMemoryAtOnce, 2);
  EXPECT_EQ(report.PeakBufferBytes, 2LL * CombineBandLines * 26 * TilePixels * 3);
}

TEST_F(PanoramaCombinerTest, MissingTiles_GreyAndListedInRowOrder) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "gaps", {});
  const TaskTiles tiles = ReadTaskTiles(task);
  DeleteFile(tiles.TilePath(6, 0));
  DeleteFile(tiles.TilePath(2, 1));
  const CombineReport report = CombineTiles(task);
  EXPECT_EQ(report.MissingTiles,
            (std::vector<std::string>{tiles.TilePath(6, 0), tiles.TilePath(2, 1)}));
  const auto picture = DecodePicture(report.OutputPath, {0, 600});
  EXPECT_TRUE(Near(picture.At(0, 3327), test::Grey));
  EXPECT_TRUE(Near(picture.At(0, 3071), TileColour(5, 0)));
  EXPECT_TRUE(Near(picture.At(1, 1024), test::Grey));
  EXPECT_TRUE(Near(picture.At(1, 1535), test::Grey));
  EXPECT_TRUE(Near(picture.At(1, 1536), TileColour(3, 1)));
}

// A tile the combiner cannot use costs its square, not the panorama: grey, and listed like a
// missing tile. Damage part way into a tile keeps the lines before it.
TEST_F(PanoramaCombinerTest, TileThatCannotBeUsed_GreyAndListed) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "broken", {});
  const TaskTiles tiles = ReadTaskTiles(task);
  const std::string whole = ReadFileBytes(tiles.TilePath(3, 2));
  const std::vector<std::pair<std::string, std::string>> damages{
      {"not a JPEG", "<html>busy</html>"},
      {"empty", ""},
      {"another size", test::FlatTileJpeg(TileColour(3, 2), 256)},
      {"cut short", whole.substr(0, whole.size() / 2)},
  };
  for (const auto& [what, damaged] : damages) {
    SCOPED_TRACE(what);
    WriteFileBytes(tiles.TilePath(3, 2), damaged);
    const CombineReport report = CombineTiles(task, /*replace=*/true);
    EXPECT_EQ(report.MissingTiles, std::vector<std::string>{tiles.TilePath(3, 2)});
    const auto picture = DecodePicture(report.OutputPath, {2 * TilePixels + TilePixels - 1});
    EXPECT_TRUE(Near(picture.At(0, 3 * TilePixels + 100), test::Grey));
    EXPECT_TRUE(Near(picture.At(0, 2 * TilePixels + 100), TileColour(2, 2)));
  }
}

TEST_F(PanoramaCombinerTest, ExistingOutput_KeptUnlessReplaceIsAsked) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "again", test::ClassicAtZoom(1));
  const std::string output = DefaultPanoramaPath(task);
  WriteFileBytes(output, "an older picture");
  try {
    CombineTiles(task);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "File " + output + " already exists.");
  }
  EXPECT_EQ(ReadFileBytes(output), "an older picture");
  CombineTiles(task, true);
  EXPECT_EQ(DecodePicture(output, {0}).Width, 832);
}

TEST_F(PanoramaCombinerTest, NoTileFolder_Refused) {
  const std::string task = folder_.Path() + "lonely.krvn";
  WriteFileBytes(task, "[Zoom]\nZoom=2\n");
  try {
    CombineTiles(task);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "No tile folder " + folder_.Path() + "lonely/");
  }
  EXPECT_FALSE(FileExists(folder_.Path() + "lonely.jpg"));
}

TEST_F(PanoramaCombinerTest, ProgressReachesTheHeight_AndACancelLeavesNothing) {
  const std::string task =
      test::WriteCombineTask(folder_.Path(), "watched", test::ClassicAtZoom(2));
  CombineRequest request;
  request.OutputPath = DefaultPanoramaPath(task);
  std::vector<int> seen;
  request.Progress = [&](int done, int total) {
    EXPECT_EQ(total, 832);
    seen.push_back(done);
    return true;
  };
  CombinePanorama(ReadTaskTiles(task), request);
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.back(), 832);
  EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));

  request.Replace = true;
  request.OutputPath = folder_.Path() + "cancelled.jpg";
  request.Progress = [](int done, int) { return done < 128; };
  EXPECT_THROW(CombinePanorama(ReadTaskTiles(task), request), Exception);
  EXPECT_FALSE(FileExists(request.OutputPath));
}

}  // namespace
}  // namespace korvane
