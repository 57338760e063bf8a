#include <gtest/gtest.h>

#include "CombineTestTiles.h"
#include "combine/window/CombinerWindow.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "ui/TScriptedDialogs.h"

namespace korvane {
namespace {

// The window on the headless loop: the file choice is scripted, boxes are recorded.
class CombinerWindowTest : public ::testing::Test {
 protected:
  CombinerWindowTest() { window_.Show(); }

  TScriptedDialogs dialogs_;
  TApplication app_{dialogs_};
  CombinerWindow window_{app_};
  test::TempFolder folder_;
};

TEST_F(CombinerWindowTest, PickedTask_CombinedWithBarAndThumbnail) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "street", test::ClassicAtZoom(2));
  dialogs_.QueuePick(task);
  ASSERT_TRUE(window_.browseButton.UserClick());
  EXPECT_EQ(window_.taskEdit.Text(), task);
  EXPECT_EQ(window_.outputEdit.Text(), folder_.Path() + "street.jpg");
  EXPECT_EQ(window_.qualityEdit.Text(), "90");

  // Complete: the picture's line and thumbnail, and no box.
  ASSERT_TRUE(window_.combineButton.UserClick());
  EXPECT_TRUE(FileExists(folder_.Path() + "street.jpg"));
  EXPECT_EQ(window_.progressBar.Position(), 832);
  EXPECT_EQ(window_.progressBar.Max(), 832);
  EXPECT_EQ(window_.thumbnailImage.Picture().Width, 444);
  EXPECT_EQ(window_.thumbnailImage.Picture().Height, 222);
  // The thumbnail's top left corner shows tile (0, 0).
  const auto& rgb = window_.thumbnailImage.Picture().Rgb;
  EXPECT_TRUE(test::Near({rgb[0], rgb[1], rgb[2]}, test::TileColour(0, 0), 16));
  EXPECT_EQ(window_.resultLabel.Caption(), folder_.Path() + "street.jpg (1664 x 832)");
  EXPECT_TRUE(dialogs_.Transcript().size() == 1u);  // only the file choice
}

TEST_F(CombinerWindowTest, MissingTile_BoxWithTheCommandLinesTexts) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "street", test::ClassicAtZoom(2));
  DeleteFile(folder_.Path() + "street/gv_1_1_2.jpg");
  window_.SelectTask(task);
  window_.combineButton.UserClick();
  EXPECT_EQ(window_.resultLabel.Caption(), folder_.Path() + "street.jpg (1664 x 832)");
  EXPECT_TRUE(dialogs_.Errors().empty());
  EXPECT_EQ(dialogs_.Messages(),
            std::vector<std::string>{"Incomplete: 1 of 8 tiles missing, filled with grey.\n" +
                                     folder_.Path() + "street/gv_1_1_2.jpg"});
  EXPECT_FALSE(window_.thumbnailImage.Picture().Empty());
}

TEST_F(CombinerWindowTest, Errors_InTheErrorBox) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "street", test::ClassicAtZoom(1));
  window_.SelectTask(task);
  const std::string combined = folder_.Path() + "street.jpg (832 x 416)";
  window_.combineButton.UserClick();
  ASSERT_EQ(window_.resultLabel.Caption(), combined);
  ASSERT_TRUE(dialogs_.Errors().empty());

  window_.combineButton.UserClick();  // the picture exists now: an error, no picture line
  EXPECT_EQ(dialogs_.Errors().size(), 1u);
  EXPECT_EQ(window_.resultLabel.Caption(), "");
  window_.replaceCheck.UserClick();
  window_.combineButton.UserClick();
  EXPECT_EQ(window_.resultLabel.Caption(), combined);
  EXPECT_EQ(dialogs_.Errors().size(), 1u);

  window_.qualityEdit.UserType("0");
  window_.combineButton.UserClick();
  window_.SelectTask(folder_.Path() + "none.krvn");
  window_.qualityEdit.UserType("50");
  window_.combineButton.UserClick();
  EXPECT_EQ(dialogs_.Errors(), (std::vector<std::string>{
                                   "File " + folder_.Path() + "street.jpg already exists.",
                                   "The quality must be from 1 to 100.",
                                   "Cannot open file " + folder_.Path() + "none.krvn",
                               }));
}

TEST_F(CombinerWindowTest, ProgressBarAndPicture_KeepTheirValuesSound) {
  TProgressBar& bar = window_.progressBar;
  bar.SetRange(10, 5);
  EXPECT_EQ(bar.Max(), 10);
  bar.SetRange(0, 200);
  bar.SetPosition(250);
  EXPECT_EQ(bar.Position(), 200);
  bar.SetRange(0, 100);
  EXPECT_EQ(bar.Position(), 100);
  bar.SetPosition(-3);
  EXPECT_EQ(bar.Position(), 0);

  window_.thumbnailImage.SetPicture({2, 1, {1, 2, 3, 4, 5, 6}});
  EXPECT_EQ(window_.thumbnailImage.Picture().Width, 2);
  // Pixels that do not fill the size would be read past their end by a peer.
  window_.thumbnailImage.SetPicture({2, 2, {1, 2, 3}});
  EXPECT_TRUE(window_.thumbnailImage.Picture().Empty());
}

}  // namespace
}  // namespace korvane
