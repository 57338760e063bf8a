#include <gtest/gtest.h>

#include "TestJpeg.h"
#include "download/JpegCheck.h"
#include "download/Placeholder.h"
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

// The service's placeholder is a small grayscale black JPEG; a dark or coloured picture, a big
// one, or one that does not decode is no placeholder.
TEST(JpegCheck, OnlyASmallUniformBlackPictureIsThePlaceholder) {
  const std::string placeholder = MakeUniformJpeg(512, 512, 1, 0);
  EXPECT_EQ(placeholder.size(), 1184u) << "the real placeholder's size";
  EXPECT_TRUE(JpegIsUniformBlack(placeholder));
  EXPECT_TRUE(IsPlaceholderAnswer(placeholder));
  EXPECT_TRUE(IsPlaceholderAnswer(MakeUniformJpeg(512, 512, 3, 0)));
  EXPECT_TRUE(IsPlaceholderAnswer(MakeUniformJpeg(256, 256, 1, BlackSampleLimit)));
  EXPECT_FALSE(IsPlaceholderAnswer(MakeUniformJpeg(512, 512, 1, BlackSampleLimit + 12)));
  EXPECT_FALSE(IsPlaceholderAnswer(MakeUniformJpeg(512, 512, 3, 128)));
  EXPECT_FALSE(IsPlaceholderAnswer(MakeJpeg(512, 512)));
  EXPECT_FALSE(IsPlaceholderAnswer(TruncatedJpeg(placeholder, 200)));
  EXPECT_FALSE(IsPlaceholderAnswer(""));
  EXPECT_FALSE(IsPlaceholderAnswer(placeholder + std::string(PlaceholderLargestBytes, '\0')))
      << "too big to be looked at";
}

TEST(Placeholder, MostTilesOfARunMakeTheIdRetired) {
  EXPECT_FALSE(MostlyPlaceholders(0, 0));
  EXPECT_FALSE(MostlyPlaceholders(1, 2));
  EXPECT_TRUE(MostlyPlaceholders(2, 3));
  EXPECT_TRUE(MostlyPlaceholders(1, 1));
  EXPECT_FALSE(MostlyPlaceholders(0, 10));
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
