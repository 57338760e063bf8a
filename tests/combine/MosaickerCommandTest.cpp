#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <sstream>

#include "CombineTestTiles.h"
#include "combine/CombineLimits.h"
#include "mosaicker/MosaickerCommand.h"
#include "platform/FileSystem.h"
#include "support/SystemCallSpy.h"
#include "support/TempFolder.h"
#include "support/TextContains.h"

namespace korvane {
namespace {

using Action = MosaickerArguments::Action;

TEST(MosaickerArguments, StitchWithEveryOption) {
  const auto arguments =
      ParseMosaickerArguments({"--out", "/tmp/p.jpg", "--quality", "75", "--force", "t.krvn"});
  EXPECT_EQ(arguments.What, Action::Combine);
  EXPECT_EQ(arguments.TaskFile, "t.krvn");
  EXPECT_EQ(arguments.OutputPath, "/tmp/p.jpg");
  EXPECT_EQ(arguments.Quality, 75);
  EXPECT_TRUE(arguments.Force);
}

TEST(MosaickerArguments, Defaults) {
  const auto arguments = ParseMosaickerArguments({"t.krvn"});
  EXPECT_EQ(arguments.OutputPath, "");
  EXPECT_EQ(arguments.Quality, DefaultCombineQuality);
  EXPECT_FALSE(arguments.Force);
}

TEST(MosaickerArguments, WindowWithOrWithoutATask) {
  EXPECT_EQ(ParseMosaickerArguments({}).What, Action::Window);
  EXPECT_EQ(ParseMosaickerArguments({"--window"}).What, Action::Window);
  const auto arguments = ParseMosaickerArguments({"--window", "/s/t.krvn"});
  EXPECT_EQ(arguments.What, Action::Window);
  EXPECT_EQ(arguments.TaskFile, "/s/t.krvn");
  EXPECT_EQ(ParseMosaickerArguments({"--help"}).What, Action::Help);
  EXPECT_EQ(ParseMosaickerArguments({"--version", "t.krvn"}).What, Action::Version);
}

TEST(MosaickerArguments, BadCommandLines_Invalid) {
  const std::vector<std::vector<std::string>> bad{
      {"--quality", "0", "t.krvn"},
      {"--quality", "101", "t.krvn"},
      {"--quality", "x", "t.krvn"},
      {"t.krvn", "--quality"},
      {"--out"},
      {"--out", "", "t.krvn"},
      {"--fast", "t.krvn"},
      {"a.krvn", "b.krvn"},
      {"--force"},
      {"--window", "--force"},
  };
  for (const auto& args : bad) {
    const auto arguments = ParseMosaickerArguments(args);
    EXPECT_EQ(arguments.What, Action::Invalid) << args.front();
    EXPECT_FALSE(arguments.Problem.empty());
  }
}

class MosaickerRunTest : public ::testing::Test {
 protected:
  ExitStatus Run(const std::vector<std::string>& args) {
    out_.str("");
    err_.str("");
    return RunMosaickerCombine(ParseMosaickerArguments(args), out_, err_);
  }

  test::TempFolder folder_;
  std::ostringstream out_;
  std::ostringstream err_;
};

TEST_F(MosaickerRunTest, Complete_Exit0AndThePicturesPath) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(2));
  EXPECT_EQ(Run({task}), ExitStatus::Complete);
  EXPECT_EQ(out_.str(), folder_.Path() + "t.jpg\n");
  EXPECT_EQ(err_.str(), "");
  EXPECT_EQ(Run({"--quality", "40", "--out", folder_.Path() + "o.jpg", task}),
            ExitStatus::Complete);
  EXPECT_TRUE(FileExists(folder_.Path() + "o.jpg"));
  EXPECT_LT(ReadFileBytes(folder_.Path() + "o.jpg").size(),
            ReadFileBytes(folder_.Path() + "t.jpg").size());
}

TEST_F(MosaickerRunTest, MissingTiles_Exit3WithCountAndList) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(2));
  const std::string tile = folder_.Path() + "t/gv_3_1_2.jpg";
  DeleteFile(tile);
  EXPECT_EQ(Run({task}), ExitStatus::Incomplete);
  EXPECT_EQ(err_.str(), "Incomplete: 1 of 8 tiles missing, filled with grey.\n" + tile + "\n");
  EXPECT_EQ(out_.str(), folder_.Path() + "t.jpg\n");
}

TEST_F(MosaickerRunTest, Errors_Exit1WithOneLine) {
  EXPECT_EQ(Run({folder_.Path() + "none.krvn"}), ExitStatus::Error);
  EXPECT_EQ(err_.str(), "Cannot open file " + folder_.Path() + "none.krvn\n");
}

// A tile that is no picture is grey in the panorama and listed as a missing one is.
TEST_F(MosaickerRunTest, AnUnusableTile_Exit3WithItListed) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(1));
  WriteFileBytes(folder_.Path() + "t/gv_1_0_1.jpg", "not a picture");
  EXPECT_EQ(Run({task}), ExitStatus::Incomplete);
  EXPECT_EQ(err_.str(), "Incomplete: 1 of 2 tiles missing, filled with grey.\n" + folder_.Path() +
                            "t/gv_1_0_1.jpg\n");
  EXPECT_EQ(out_.str(), folder_.Path() + "t.jpg\n");
}

// Inputs that would hang the combiner or eat its memory: a FIFO for the task, a tile far bigger
// than a download can save (sparse, so it takes no disk). Neither is read.
TEST_F(MosaickerRunTest, NoRegularOrHugeInputs_RefusedWithoutReadingThem) {
  const std::string fifo = folder_.Path() + "fifo.krvn";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Run({fifo}), ExitStatus::Error);
  EXPECT_EQ(err_.str(), "Cannot open file " + fifo + "\n");

  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(1));
  const std::string tile = folder_.Path() + "t/gv_1_0_1.jpg";
  std::filesystem::resize_file(tile, MaxTileFileBytes * 16);
  EXPECT_NE(Run({task}), ExitStatus::Complete);
  EXPECT_TRUE(test::Contains(err_.str(), tile)) << err_.str();
}

TEST_F(MosaickerRunTest, FullDisk_Exit1WithTheReasonAndNothingHalfWrittenLeft) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(2));
  {
    test::SystemCallSpy spy;
    spy.FillDisk(folder_.Path(), 20'000);  // far less than the picture needs
    EXPECT_EQ(Run({task}), ExitStatus::Error);
    EXPECT_GT(spy.FailedWrites(), 0);
  }
  EXPECT_EQ(err_.str(), "Cannot write " + folder_.Path() + "t.jpg: No space left on device\n");
  EXPECT_EQ(out_.str(), "");
  std::vector<std::string> left;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path()))
    left.push_back(entry.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{"t", "t.krvn"}));  // no picture, no temporary

  EXPECT_EQ(Run({task}), ExitStatus::Complete);  // space freed: the same command completes
}

TEST_F(MosaickerRunTest, ExistingOutput_RefusedWithoutForce) {
  const std::string task = test::WriteCombineTask(folder_.Path(), "t", test::ClassicAtZoom(1));
  ASSERT_EQ(Run({task}), ExitStatus::Complete);
  EXPECT_EQ(Run({task}), ExitStatus::Error);
  EXPECT_EQ(err_.str(), "File " + folder_.Path() + "t.jpg already exists.\n");
  EXPECT_EQ(Run({"--force", task}), ExitStatus::Complete);
}

}  // namespace
}  // namespace korvane
