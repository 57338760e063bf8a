#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "support/TempFolder.h"
#include "task/DownloadTask.h"
#include "task/TaskRunLock.h"

namespace korvane {
namespace {

class DownloadTaskTest : public ::testing::Test {
 protected:
  test::TempProgramFolder program;
  test::TempFolder save;
  TaskParameters params;

  DownloadTaskTest() {
    params.SavePath = save.Path();
    params.TaskFileName = "newtask.krvn";
    params.PanoId = "P";
    params.Zoom = 2;
  }
  DownloadTask Build() { return DownloadTask(&params); }
};

TEST_F(DownloadTaskTest, GridOfEveryZoomLevel) {
  const int totals[] = {2, 8, 28, 91, 338};
  const int maxX[] = {1, 3, 6, 12, 25};
  const int maxY[] = {0, 1, 3, 6, 12};
  for (int zoom = 1; zoom <= 5; ++zoom) {
    params.Zoom = zoom;
    DownloadTask task = Build();
    EXPECT_EQ(task.Grid().MinX, 0);
    EXPECT_EQ(task.Grid().MinY, 0);
    EXPECT_EQ(task.Grid().MaxX, maxX[zoom - 1]);
    EXPECT_EQ(task.Grid().MaxY, maxY[zoom - 1]);
    EXPECT_EQ(task.Grid().TotalCount(), totals[zoom - 1]);
  }
  params.Zoom = 6;
  EXPECT_THROW(Build(), Exception);
  params.Zoom = 0;
  EXPECT_THROW(Build(), Exception);
}

TEST_F(DownloadTaskTest, FileNamesFollowTheTaskFileName) {
  params.TaskFileName = "abc.txt.krvn";
  DownloadTask task = Build();
  EXPECT_EQ(task.LogFileName, save.Path() + "abc.txt_log.txt");
  EXPECT_EQ(task.FailedFileName, save.Path() + "abc.txt_failed.ftl");
  EXPECT_EQ(task.TileFolder, save.Path() + "abc.txt/");
  EXPECT_TRUE(DirectoryExists(task.TileFolder));
  EXPECT_EQ(task.GetTileFilePath(3, 1), save.Path() + "abc.txt/gv_3_1_2.jpg");
}

TEST_F(DownloadTaskTest, TileAddressesSpreadOverFourServersByRow) {
  program.WriteConfig("[Service]\nServer0=127.0.0.11\nServer2=127.0.0.13:8080\n");
  params.Zoom = 4;
  DownloadTask task = Build();
  EXPECT_EQ(task.GetTileUrl(7, 6),
            "http://127.0.0.13:8080/cbk?output=tile&panoid=P&x=7&y=6&zoom=4");
  EXPECT_EQ(task.GetTileUrl(0, 4), "http://127.0.0.11/cbk?output=tile&panoid=P&x=0&y=4&zoom=4");
  EXPECT_EQ(task.GetTileUrl(0, 1),
            "http://cbk1.google.com/cbk?output=tile&panoid=P&x=0&y=1&zoom=4");
  params.Zoom = 5;
  DownloadTask last = Build();
  EXPECT_EQ(last.GetTileFileName(25, 12), "gv_25_12_5.jpg");
  EXPECT_EQ(last.GetTileUrl(25, 12), "http://127.0.0.11/cbk?output=tile&panoid=P&x=25&y=12&zoom=5");
}

TEST_F(DownloadTaskTest, TileFolderFailureFailsTheConstructionNamingTheFolder) {
  params.SavePath = save.Path() + "missing/";
  try {
    Build();
    ADD_FAILURE() << "no TileFolderError";
  } catch (const TileFolderError& error) {
    EXPECT_STREQ(error.what(),
                 ("Create directory " + save.Path() + "missing/newtask/ Failed.").c_str());
  }
}

TEST_F(DownloadTaskTest, ResumePositionsAreReadOnlyForAContinuedTask) {
  WriteFileBytes(save.Path() + "newtask.krvn",
                 "[THREADS]\r\nT3X=4\r\nT3Y=5\r\nT8X=0x2\r\nT1X=1\r\n");
  params.Zoom = 4;
  EXPECT_EQ(Build().ResumeX[2], 0);
  params.ContinueTask = true;
  DownloadTask task = Build();
  EXPECT_EQ(task.ResumeX[2], 4);
  EXPECT_EQ(task.ResumeY[2], 5);
  EXPECT_EQ(task.ResumeSkip(2), 4 * 7 + 5 + 1);
  EXPECT_EQ(task.ResumeX[7], 2);
  EXPECT_EQ(task.ResumeSkip(7), 0) << "a position with a zero counts as none";
  EXPECT_EQ(task.ResumeSkip(0), 0) << "column without row counts as none";
  EXPECT_EQ(task.ResumeSkip(1), 0);
}

TEST_F(DownloadTaskTest, ResumePositionsOutsideTheGridCountAsNone) {
  // Zoom 3: columns 0..6, rows 0..3.
  WriteFileBytes(save.Path() + "newtask.krvn",
                 "[THREADS]\r\nT1X=2147483647\r\nT1Y=3\r\nT2X=-2147483648\r\nT2Y=-1\r\n"
                 "T3X=7\r\nT3Y=1\r\nT4X=6\r\nT4Y=4\r\nT5X=0x7FFFFFFF\r\nT5Y=0x7FFFFFFF\r\n"
                 "T6X=6\r\nT6Y=3\r\n");
  params.Zoom = 3;
  params.ContinueTask = true;
  DownloadTask task = Build();
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(task.ResumeSkip(i), 0);
  }
  EXPECT_EQ(task.ResumeX[0], 0);
  EXPECT_EQ(task.ResumeY[0], 3) << "the coordinate inside the grid stays";
  EXPECT_EQ(task.ResumeY[3], 0);
  EXPECT_EQ(task.ResumeSkip(5), 28) << "the last tile of the grid is a position";

  // Positions set after reading are bounded as well.
  task.ResumeX[6] = 1 << 30;
  task.ResumeY[6] = 1 << 30;
  EXPECT_EQ(task.ResumeSkip(6), 0);
}

TEST_F(DownloadTaskTest, OneRunOfATaskAtATime) {
  DownloadTask task = Build();
  {
    TaskRunLock run(task, "newtask");
    params.ContinueTask = true;
    DownloadTask again = Build();
    try {
      TaskRunLock second(again, "newtask");
      FAIL() << "a second run of the task was let in";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), "Task newtask is already running.");
    }
    params.TaskFileName = "other.krvn";
    DownloadTask other = Build();
    EXPECT_NO_THROW(TaskRunLock(other, "other")) << "another task of the folder is free";
  }
  EXPECT_NO_THROW(TaskRunLock(task, "newtask")) << "the ended run let go";
}

TEST_F(DownloadTaskTest, ResumeExampleAtZoomThree) {
  params.Zoom = 3;
  DownloadTask task = Build();
  task.ResumeX[2] = 2;
  task.ResumeY[2] = 1;
  EXPECT_EQ(task.ResumeSkip(2), 10);
  EXPECT_EQ(task.Grid().SequenceNumber(4, 1), 18);
}

}  // namespace
}  // namespace korvane
