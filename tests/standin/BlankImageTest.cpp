#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "JpegDecode.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

const std::string Committed = std::string(KORVANE_SOURCE_DIR) + "/data/blankimg/blank.jpg";

TEST(BlankImage, IsABaseline512SquareJpegInNeutralGrey) {
  const std::string bytes = ReadFileBytes(Committed);
  const DecodedJpeg image = DecodeJpeg(bytes);
  ASSERT_TRUE(image.Ok) << image.Error;
  EXPECT_EQ(image.Warnings, 0);
  EXPECT_EQ(image.Width, 512);
  EXPECT_EQ(image.Height, 512);
  EXPECT_FALSE(image.Progressive);
  for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
    ASSERT_NEAR(image.Pixels[i], 128, 1) << "byte " << i;
  }
}

TEST(BlankImage, IsInTheProgramFolder) {
  EXPECT_EQ(ReadFileBytes(std::string(KORVANE_PROGRAM_DIR) + "/blankimg/blank.jpg"),
            ReadFileBytes(Committed));
}

TEST(BlankImage, TheGeneratorMakesTheCommittedFileByteForByte) {
  TempFolder folder;
  const std::string output = folder.Path() + "blank.jpg";
  const std::string command = std::string(KORVANE_BLANKIMG_GENERATOR) + " " + output;
  ASSERT_EQ(std::system(command.c_str()), 0) << command;
  EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(Committed));
}

}  // namespace
}  // namespace korvane::test
