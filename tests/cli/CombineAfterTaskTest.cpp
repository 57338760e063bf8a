#include <gtest/gtest.h>

#include <sstream>

#include "cli/CombineAfterTask.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

// A zoom-1 task (two tiles) whose tiles are given by the test.
class CombineAfterTask : public ::testing::Test {
 protected:
  CombineAfterTask() {
    WriteFileBytes(Task(), "[Zoom]\r\nZoom=1\r\n");
    CreateDir(folder.Path() + "t");
  }
  std::string Task() const { return folder.Path() + "t.krvn"; }

  TempFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(CombineAfterTask, MissingTile_NotCombinedAndSaysWhy) {
  WriteFileBytes(folder.Path() + "t/gv_0_0_1.jpg", "x");
  EXPECT_EQ(CombineEndedTask(Task(), out, err), ExitStatus::Incomplete);
  EXPECT_EQ(err.str(), "Not combined: 1 of 2 tiles are missing.\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(FileExists(folder.Path() + "t.jpg"));
}

TEST_F(CombineAfterTask, FailedTiles_NotCombinedAndSaysWhy) {
  WriteFileBytes(folder.Path() + "t/gv_0_0_1.jpg", "x");
  WriteFileBytes(folder.Path() + "t/gv_1_0_1.jpg", "x");
  WriteFileBytes(folder.Path() + "t_failed.ftl", "a|http://h/1\r\n");
  EXPECT_EQ(CombineEndedTask(Task(), out, err), ExitStatus::Incomplete);
  EXPECT_EQ(err.str(), "Not combined: 1 tiles failed and have substitutes (listed in " +
                           folder.Path() + "t_failed.ftl; --retry fetches them again).\n");
}

// Tiles that are no pictures are painted grey like missing ones; the run says how many.
TEST_F(CombineAfterTask, TilesThatDoNotDecode_GreyAndSaysHowMany) {
  WriteFileBytes(folder.Path() + "t/gv_0_0_1.jpg", "x");
  WriteFileBytes(folder.Path() + "t/gv_1_0_1.jpg", "x");
  EXPECT_EQ(CombineEndedTask(Task(), out, err), ExitStatus::Error);
  EXPECT_EQ(err.str(), "Incomplete: 2 of 2 tiles missing, filled with grey.\n");
}

}  // namespace
}  // namespace korvane::test
