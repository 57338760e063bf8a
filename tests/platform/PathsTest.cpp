#include <gtest/gtest.h>

#include "platform/Paths.h"

namespace korvane {
namespace {

TEST(Paths, SplitsAtTheLastDelimiter) {
  EXPECT_EQ(ExtractFilePath("/home/u/download/newtask.krvn"), "/home/u/download/");
  EXPECT_EQ(ExtractFileName("/home/u/download/newtask.krvn"), "newtask.krvn");
  EXPECT_EQ(ExtractFilePath("newtask.krvn"), "");
  EXPECT_EQ(ExtractFileName("/home/u/"), "");
}

TEST(Paths, ExtensionOnlyWhenNoDelimiterFollowsTheDot) {
  EXPECT_EQ(ExtractFileExt("abc.txt.krvn"), ".krvn");
  EXPECT_EQ(ExtractFileExt("berlin"), "");
  EXPECT_EQ(ExtractFileExt("dir.v2/berlin"), "");
  EXPECT_EQ(ExtractFileExt("berlin."), ".");
  EXPECT_EQ(RemoveFileExt("abc.txt.krvn"), "abc.txt");
  EXPECT_EQ(RemoveFileExt(".krvn"), "");
}

TEST(Paths, TrailingDelimiter) {
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/x"), "/tmp/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter("/tmp/x/"), "/tmp/x/");
  EXPECT_EQ(IncludeTrailingPathDelimiter(""), "");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/tmp/x/"), "/tmp/x");
  EXPECT_EQ(ExcludeTrailingPathDelimiter("/"), "/");
}

}  // namespace
}  // namespace korvane
