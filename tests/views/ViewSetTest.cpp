#include <gtest/gtest.h>

#include <sstream>

#include "CombineTestTiles.h"
#include "ViewTestPanoramas.h"
#include "mosaicker/MosaickerCommand.h"
#include "platform/FileSystem.h"
#include "support/ExifReadBack.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

using Action = MosaickerArguments::Action;

TEST(MosaickerViewArguments, BadOnes_InvalidWithTheReason) {
  struct Case {
    std::vector<std::string> Args;
    const char* Reason;
  };
  const Case cases[] = {
      {{"--view", "10,0", "t.krvn"}, "--view needs HEADING,PITCH,FOV"},
      {{"--view", "10,0,90,1", "t.krvn"}, "--view needs HEADING,PITCH,FOV"},
      {{"--view", "10,91,90", "t.krvn"}, "pitch from -90 to 90"},
      {{"--view", "10,0,9", "t.krvn"}, "field of view from 10 to 120"},
      {{"--view", "10,0,121", "t.krvn"}, "field of view from 10 to 120"},
      {{"--view", "nan,0,90", "t.krvn"}, "--view needs"},
      {{"--view", "1e400,0,90", "t.krvn"}, "--view needs"},
      {{"--view", "10;0;90", "t.krvn"}, "--view needs"},
      {{"--view"}, "--view needs"},
      {{"--views", "0", "t.krvn"}, "--views needs a number from 1 to 36."},
      {{"--views", "37", "t.krvn"}, "--views needs a number from 1 to 36."},
      {{"--views", "4x", "t.krvn"}, "--views needs a number"},
      {{"--view", "0,0,90", "--size", "15x100", "t.krvn"},
       "--size needs WIDTHxHEIGHT, each from 16 to 8192 pixels."},
      {{"--view", "0,0,90", "--size", "100x8193", "t.krvn"}, "--size needs"},
      {{"--view", "0,0,90", "--size", "100", "t.krvn"}, "--size needs"},
      {{"--size", "100x100", "t.krvn"}, "--size goes with --view, --views or --cube."},
      {{"--view", "0,0,90", "--cube", "t.krvn"}, "Give one of --view, --views and --cube."},
      {{"--views", "4", "--cube", "t.krvn"}, "Give one of"},
      {{"--cube", "--size", "100x200", "t.krvn"}, "Cube faces are square"},
      {{"--cube"}, "No task file or panorama given."},
      {{"--cube", "--window", "t.krvn"}, "--window takes no other option"},
  };
  for (const Case& c : cases) {
    const auto arguments = ParseMosaickerArguments(c.Args);
    EXPECT_EQ(arguments.What, Action::Invalid) << c.Args.front() << " " << c.Reason;
    EXPECT_TRUE(test::Contains(arguments.Problem, c.Reason)) << arguments.Problem;
  }
}

TEST(MosaickerViewArguments, EachModeAndItsViews) {
  auto one = ParseMosaickerArguments(
      {"--view", "-20.5,+12,75", "--size", "640x480", "--out", "/o/v.jpg", "--force", "p.jpg"});
  ASSERT_EQ(one.What, Action::Views);
  ASSERT_EQ(one.Views.Views.size(), 1u);
  EXPECT_EQ(one.Views.Views[0].Heading, 339.5);
  EXPECT_EQ(one.Views.Views[0].Suffix, "_view_339.5");
  EXPECT_EQ(OneView(-720, 0, 90, 64, 48).Suffix, "_view_0");
  EXPECT_EQ(OneView(359.97, 0, 90, 64, 48).Suffix, "_view_0");
  EXPECT_EQ(one.Views.Views[0].Pitch, 12);
  EXPECT_EQ(one.Views.Views[0].FieldOfView, 75);
  EXPECT_EQ(one.Views.Views[0].Width, 640);
  EXPECT_EQ(one.Views.Input, "p.jpg");
  EXPECT_TRUE(one.Views.Replace);
  EXPECT_EQ(ViewPaths(one.Views), std::vector<std::string>{"/o/v.jpg"});

  const auto around = ParseMosaickerArguments({"--views", "4", "/s/t.krvn"});
  ASSERT_EQ(around.What, Action::Views);
  EXPECT_EQ(ViewPaths(around.Views),
            (std::vector<std::string>{"/s/t_view_0.jpg", "/s/t_view_90.jpg", "/s/t_view_180.jpg",
                                      "/s/t_view_270.jpg"}));
  for (const ViewOrder& view : around.Views.Views) {
    EXPECT_EQ(view.FieldOfView, 90);
    EXPECT_EQ(view.Pitch, 0);
    EXPECT_EQ(view.Width, DefaultViewWidth);
  }
  EXPECT_EQ(ViewsAround(7, 100, 100)[1].Suffix, "_view_51.4");
  EXPECT_EQ(ViewsAround(1, 100, 100)[0].FieldOfView, MaxViewFieldOfView);

  const auto cube = ParseMosaickerArguments({"--cube", "--out", "/o/c.jpg", "t.krvn"});
  ASSERT_EQ(cube.What, Action::Views);
  EXPECT_EQ(ViewPaths(cube.Views),
            (std::vector<std::string>{"/o/c_front.jpg", "/o/c_right.jpg", "/o/c_back.jpg",
                                      "/o/c_left.jpg", "/o/c_up.jpg", "/o/c_down.jpg"}));
  EXPECT_EQ(cube.Views.Views[4].Pitch, 90);
  EXPECT_EQ(cube.Views.Views[0].Width, DefaultCubeSide);
  EXPECT_EQ(cube.Views.Views[0].Height, DefaultCubeSide);
}

class MakeViewsTest : public ::testing::Test {
 protected:
  ExitStatus Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    const auto arguments = ParseMosaickerArguments(args);
    EXPECT_EQ(arguments.What, Action::Views) << arguments.Problem;
    return RunMosaickerViews(arguments, out_, err_);
  }

  test::TempFolder folder_;
  std::ostringstream out_, err_;
};

// --views 4 of a task with a record: four files named by their compass headings, each with its
// direction in XMP and the place's position and month in EXIF.
TEST_F(MakeViewsTest, FourViews_NamesHeadingsAndMetadata) {
  const std::string task = test::WriteStandinTask(folder_.Path(), "place", 3);
  PanoramaRecord record;
  record.Heading = 30;
  record.Latitude = 52.5;
  record.Longitude = -1.25;
  record.Date = CaptureMonth{2019, 11};
  record.Copyright = "Test roads";
  WritePanoramaRecord(task, record);
  EXPECT_EQ(Run({"--views", "4", "--size", "200x150", task}), ExitStatus::Complete) << err_.str();
  EXPECT_EQ(err_.str(), "");
  std::string expected;
  for (const char* heading : {"0", "90", "180", "270"}) {
    const std::string path = folder_.Path() + "place_view_" + heading + ".jpg";
    expected += path + "\n";
    const auto picture = test::DecodePicture(path, {0});
    EXPECT_EQ(picture.Width, 200);
    EXPECT_EQ(picture.Height, 150);
    ASSERT_EQ(picture.App1Segments.size(), 2u);
    const auto exif = test::ReadExifSegment(picture.App1Segments[0]);
    ASSERT_TRUE(exif);
    EXPECT_NEAR(*exif->GpsDegrees(1, 2), 52.5, 1e-7);
    EXPECT_NEAR(*exif->GpsDegrees(3, 4), -1.25, 1e-7);
    EXPECT_EQ(exif->Text(test::ExifFields::Ifd::Exif, 0x9003), "2019:11:01 00:00:00");
    const std::string& xmp = picture.App1Segments[1];
    for (const std::string& property :
         {std::string("KorvaneView:Heading=\"") + heading + "\"",
          std::string("KorvaneView:HeadingReference=\"north\""),
          std::string("KorvaneView:Pitch=\"0\""), std::string("KorvaneView:FieldOfView=\"90\""),
          std::string("exif:DateTimeOriginal=\"2019-11\"")})
      EXPECT_TRUE(test::Contains(xmp, property)) << property;
    EXPECT_FALSE(test::Contains(xmp, "PoseHeadingDegrees"));
  }
  EXPECT_EQ(out_.str(), expected);
}

TEST_F(MakeViewsTest, ZoomTooLow_WarnsAndMakesTheLargestHonestSize) {
  const std::string task = test::WriteStandinTask(folder_.Path(), "low", 1);
  EXPECT_EQ(Run({"--view", "0,0,90", task}), ExitStatus::Complete);
  const std::string path = folder_.Path() + "low_view_0.jpg";
  EXPECT_TRUE(test::Contains(err_.str(), "The panorama's heading is not known")) << err_.str();
  EXPECT_TRUE(test::Contains(err_.str(),
                             "The task's zoom level 1 is too low for 1024 x 768 at 90 "
                             "degrees: " +
                                 path + " is made 264 x 198."))
      << err_.str();
  const auto picture = test::DecodePicture(path, {0});
  EXPECT_EQ(picture.Width, 264);
  EXPECT_EQ(picture.Height, 198);
}

TEST_F(MakeViewsTest, ExistingFileKeptUnlessForced_MissingInputAnError) {
  const std::string task = test::WriteStandinTask(folder_.Path(), "t", 2);
  EXPECT_EQ(Run({"--view", "0,0,90", "--size", "64x48", task}), ExitStatus::Complete);
  EXPECT_EQ(Run({"--view", "0,0,90", "--size", "64x48", task}), ExitStatus::Error);
  EXPECT_TRUE(test::Contains(err_.str(), "already exists")) << err_.str();
  EXPECT_EQ(Run({"--view", "0,0,90", "--size", "64x48", "--force", task}), ExitStatus::Complete);
  EXPECT_EQ(Run({"--cube", folder_.Path() + "none.jpg"}), ExitStatus::Error);
  EXPECT_TRUE(test::Contains(err_.str(), "Cannot open file")) << err_.str();
}

TEST_F(MakeViewsTest, MissingTile_IncompleteAndSaysHowMany) {
  const std::string task = test::WriteStandinTask(folder_.Path(), "gap", 2);
  std::remove((folder_.Path() + "gap/gv_1_0_2.jpg").c_str());
  EXPECT_EQ(Run({"--view", "0,0,90", "--size", "200x150", task}), ExitStatus::Incomplete);
  EXPECT_TRUE(test::Contains(err_.str(), "Incomplete: 1 of ")) << err_.str();
  EXPECT_TRUE(FileExists(folder_.Path() + "gap_view_0.jpg"));
}

}  // namespace
}  // namespace korvane
