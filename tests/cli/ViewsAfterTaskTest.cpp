#include <gtest/gtest.h>

#include <sstream>

#include "CombineTestTiles.h"
#include "cli/ViewsAfterTask.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

namespace korvane::test {
namespace {

class ViewsAfterTask : public ::testing::Test {
 protected:
  TempFolder folder;
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(ViewsAfterTask, WholeTask_ViewsRoundTheHorizonBesideIt) {
  const std::string task = WriteCombineTask(folder.Path(), "t", ClassicAtZoom(2));
  EXPECT_EQ(ViewsOfEndedTask(task, 4, out, err), ExitStatus::Complete) << err.str();
  std::string expected;
  for (const char* heading : {"0", "90", "180", "270"}) {
    const std::string path = folder.Path() + "t_view_" + heading + ".jpg";
    expected += "View: " + path + "\n";
    EXPECT_TRUE(FileExists(path)) << path;
  }
  EXPECT_EQ(out.str(), expected);
  // Zoom 2 holds 265 pixels per radian: the 1024-pixel views are cut, and said so.
  EXPECT_TRUE(Contains(err.str(), "The task's zoom level 2 is too low for 1024 x 768"))
      << err.str();
}

TEST_F(ViewsAfterTask, MissingOrFailedTiles_NoViewsAndSaysWhy) {
  const std::string task = WriteCombineTask(folder.Path(), "t", ClassicAtZoom(1));
  DeleteFile(folder.Path() + "t/gv_1_0_1.jpg");
  EXPECT_EQ(ViewsOfEndedTask(task, 2, out, err), ExitStatus::Incomplete);
  EXPECT_EQ(err.str(), "No views: 1 of 2 tiles are missing.\n");
  EXPECT_EQ(out.str(), "");
  EXPECT_FALSE(FileExists(folder.Path() + "t_view_0.jpg"));
}

}  // namespace
}  // namespace korvane::test
