#include <gtest/gtest.h>

#include "TestJpeg.h"
#include "download/JpegCheck.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

TEST(JpegCheck, WholeImagesDecode) {
  EXPECT_TRUE(JpegDecodes(MakeJpeg(512, 512)));
  EXPECT_TRUE(JpegDecodes(MakeJpeg(33, 17, /*progressive=*/true)));
  EXPECT_TRUE(JpegDecodes(MakeJpeg(1, 1)));
}

TEST(JpegCheck, TruncatedImageCountsAsCrashed_EvenThoughLibjpegOnlyWarns) {
  const std::string jpeg = MakeJpeg(256, 256);
  // Cuts inside the scan data, right before the end marker, and inside the headers.
  for (size_t cut : {size_t{2}, size_t{3}, size_t{100}, jpeg.size() / 2, jpeg.size() - 200}) {
    SCOPED_TRACE(cut);
    EXPECT_FALSE(JpegDecodes(TruncatedJpeg(jpeg, cut)));
  }
  EXPECT_FALSE(JpegDecodes(TruncatedJpeg(MakeJpeg(64, 64, true), 40)));
}

TEST(JpegCheck, DamagedOrForeignDataCountsAsCrashed) {
  std::string jpeg = MakeJpeg(128, 128);
  std::string garbledScan = jpeg;
  for (size_t i = garbledScan.size() / 2; i < garbledScan.size() / 2 + 64; ++i)
    garbledScan[i] = static_cast<char>(0xFF);
  EXPECT_FALSE(JpegDecodes(garbledScan));

  EXPECT_FALSE(JpegDecodes(""));
  EXPECT_FALSE(JpegDecodes("\xFF\xD8"));
  EXPECT_FALSE(JpegDecodes("\xFF\xD8<html><body>Not found</body></html>"));
  EXPECT_FALSE(JpegDecodes("<html></html>"));
}

TEST(JpegCheck, ReadsTheStoredFile) {
  TempFolder folder;
  const std::string path = folder.Path() + "tile.jpg";
  WriteFileBytes(path, MakeJpeg(64, 32));
  EXPECT_TRUE(JpegFileDecodes(path));
  WriteFileBytes(path, TruncatedJpeg(MakeJpeg(64, 32), 30));
  EXPECT_FALSE(JpegFileDecodes(path));
  EXPECT_FALSE(JpegFileDecodes(folder.Path() + "missing.jpg"));
  EXPECT_FALSE(JpegFileDecodes(folder.Path()));
}

}  // namespace
}  // namespace korvane::test
