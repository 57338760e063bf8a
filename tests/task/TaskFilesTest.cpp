#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/TextFile.h"
#include "support/TempFolder.h"
#include "task/DownloadTask.h"
#include "task/FailedList.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

class TaskFilesTest : public ::testing::Test {
 protected:
  test::TempProgramFolder program;
  test::TempFolder save;
  TaskParameters params;

  TaskFilesTest() {
    params.SavePath = save.Path();
    params.TaskFileName = "newtask.krvn";
    params.PanoId = "P";
    params.Zoom = 3;
    params.Latitude = 48.5;
    params.Longitude = 2.25;
  }
  ~TaskFilesTest() override { SetDecimalSeparator('\0'); }
  DownloadTask Build() { return DownloadTask(&params); }
};

TEST_F(TaskFilesTest, TaskFileHasTheSixteenLinesByteForByte) {
  Build().SaveTaskFile();
  EXPECT_EQ(ReadFileBytes(save.Path() + "newtask.krvn"),
            "[MapsType]\r\nMapsType=32\r\n[AREA]\r\nLatitude=48.5\r\nLongitude=2.25\r\n"
            "[Pano]\r\nPano_id=P\r\n[Zoom]\r\nZoom=3\r\n\r\n[XY]\r\nMinX=0\r\nMinY=0\r\n"
            "MaxX=6\r\nMaxY=3\r\n\r\n");
}

TEST_F(TaskFilesTest, TaskFileUsesTheUsersDecimalSeparator) {
  SetDecimalSeparator(',');
  params.Latitude = 40.10;
  Build().SaveTaskFile();
  TStringList lines = LoadLines(save.Path() + "newtask.krvn");
  EXPECT_EQ(lines[3], "Latitude=40,1");
  EXPECT_EQ(lines[4], "Longitude=2,25");
}

TEST_F(TaskFilesTest, NewTaskRemovesTheOldThreadsSectionAContinuedOneKeepsIt) {
  DownloadTask task = Build();
  task.SaveTaskFile();
  TIniFile(task.TaskFilePath()).WriteInteger(ThreadsSection, "T1X", 3);
  const std::string withThreads = ReadFileBytes(task.TaskFilePath());
  EXPECT_NE(withThreads.find("\r\n\r\n[THREADS]\r\nT1X=3\r\n"), std::string::npos);
  params.ContinueTask = true;
  Build().SaveTaskFile();
  EXPECT_EQ(ReadFileBytes(task.TaskFilePath()), withThreads);
  params.ContinueTask = false;
  Build().SaveTaskFile();
  EXPECT_EQ(ReadFileBytes(task.TaskFilePath()).find("THREADS"), std::string::npos);
}

TEST_F(TaskFilesTest, LogHeaderOfANewTaskWithoutProxyHas22Lines) {
  DownloadTask task = Build();
  task.WriteLogHeader();
  TStringList lines = LoadLines(task.LogFileName);
  ASSERT_EQ(lines.size(), 22u);
  EXPECT_EQ(lines[0], "Project: " + save.Path() + "newtask.krvn");
  EXPECT_EQ(lines[1], "Log begin......");
  EXPECT_EQ(lines[2].rfind("Now time is:", 0), 0u);
  EXPECT_NE(lines[2], "Now time is:");
  EXPECT_EQ(lines[4], "MapsType=32");
  EXPECT_EQ(lines[5], "Latitude=48.5");
  EXPECT_EQ(lines[6], "Longitude=2.25");
  EXPECT_EQ(lines[7], "Pano_id=P");
  EXPECT_EQ(lines[9], "MinX = 0");
  EXPECT_EQ(lines[12], "MaxY = 3");
  EXPECT_EQ(lines[14], "Total count of images would be downloaded: 28");
  EXPECT_EQ(lines[16], "Zoom level: 3");
  EXPECT_EQ(lines[18], "path: " + save.Path());
  EXPECT_EQ(lines[20], "Start downloading...");
  EXPECT_EQ(lines[21], std::string(34, '~'));
  for (int empty : {3, 8, 13, 15, 17, 19})
    EXPECT_EQ(lines[empty], "") << empty;
}

TEST_F(TaskFilesTest, LogHeaderWithProxyHas28LinesAndHidesThePassword) {
  params.UseProxy = true;
  params.ProxyServer = "proxy.lan";
  params.ProxyPort = "3128";
  params.ProxyUsername = "user";
  struct Case {
    std::string Password;
    std::string Line;
  };
  for (const Case& test :
       {Case{"p=w", "ProxyPassword:********"},
        Case{"a much longer password", "ProxyPassword:********"}, Case{"", "ProxyPassword:"}}) {
    SCOPED_TRACE(test.Password);
    params.ProxyPassword = test.Password;
    DownloadTask task = Build();
    task.WriteLogHeader();
    TStringList lines = LoadLines(task.LogFileName);
    ASSERT_EQ(lines.size(), 28u);
    EXPECT_EQ(lines[9], "Using Proxy:");
    EXPECT_EQ(lines[10], "Proxy Server:proxy.lan");
    EXPECT_EQ(lines[11], "Proxy Port:3128");
    EXPECT_EQ(lines[12], "ProxyUsername:user");
    EXPECT_EQ(lines[13], test.Line);
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[15], "MinX = 0");
    EXPECT_EQ(ReadFileBytes(task.LogFileName).find("p=w"), std::string::npos);
  }
}

// A log that names a proxy account with a password is for its owner's eyes only, also one that
// stood readable by everyone before (it may hold the password of an older run in clear).
TEST_F(TaskFilesTest, LogOfAProxyWithPasswordIsMadePrivate) {
  namespace fs = std::filesystem;
  params.UseProxy = true;
  params.ProxyUsername = "user";
  params.ProxyPassword = "p=w";
  for (bool continuing : {false, true}) {
    SCOPED_TRACE(continuing);
    params.ContinueTask = continuing;
    DownloadTask task = Build();
    WriteFileBytes(task.LogFileName, "Project: old\r\nProxyPassword:p=w\r\n");
    fs::permissions(task.LogFileName, fs::perms::owner_read | fs::perms::owner_write |
                                          fs::perms::group_read | fs::perms::others_read);
    task.WriteLogHeader();
    EXPECT_EQ(
        fs::status(task.LogFileName).permissions() & (fs::perms::group_all | fs::perms::others_all),
        fs::perms::none);
  }
}

TEST_F(TaskFilesTest, ContinuingTwiceAddsTwoContinuationBlocksBelowTheEarlierRuns) {
  DownloadTask task = Build();
  task.WriteLogHeader();
  TStringList lines = LoadLines(task.LogFileName);
  lines.push_back("T1:seq=1,gv_0_0_3.jpg OK");
  SaveLines(task.LogFileName, lines);
  params.ContinueTask = true;
  Build().WriteLogHeader();
  Build().WriteLogHeader();
  TStringList after = LoadLines(task.LogFileName);
  ASSERT_EQ(after.size(), 23u + 6u);
  EXPECT_EQ(after[0], "Project: " + save.Path() + "newtask.krvn");
  EXPECT_EQ(after[22], "T1:seq=1,gv_0_0_3.jpg OK");
  for (size_t block : {23u, 26u}) {
    EXPECT_EQ(after[block], std::string(44, '-'));
    EXPECT_EQ(after[block + 1], "Log continue...");
    EXPECT_EQ(after[block + 2].rfind("Now time is:", 0), 0u);
  }
}

TEST_F(TaskFilesTest, ContinuingWithoutALogFailsWithCannotOpen) {
  params.ContinueTask = true;
  DownloadTask task = Build();
  try {
    task.WriteLogHeader();
    FAIL();
  } catch (const FileOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file " + task.LogFileName);
  }
}

TEST_F(TaskFilesTest, FailedListIsEmptiedForANewTaskAndKeptForAContinuedOne) {
  DownloadTask task = Build();
  WriteFileBytes(task.FailedFileName, "old|line\r\n");
  params.ContinueTask = true;
  Build().CreateFailedList();
  EXPECT_EQ(ReadFileBytes(task.FailedFileName), "old|line\r\n");
  params.ContinueTask = false;
  Build().CreateFailedList();
  EXPECT_TRUE(FileExists(task.FailedFileName));
  EXPECT_EQ(ReadFileBytes(task.FailedFileName), "");
}

TEST_F(TaskFilesTest, WritesIntoARemovedFolderFailWithCannotCreate) {
  ASSERT_TRUE(CreateDir(save.Path() + "sub"));
  params.SavePath = save.Path() + "sub/";
  DownloadTask task = Build();
  std::filesystem::remove_all(save.Path() + "sub");
  EXPECT_THROW(task.SaveTaskFile(), FileCreateError);
  EXPECT_THROW(task.WriteLogHeader(), FileCreateError);
  EXPECT_THROW(task.CreateFailedList(), FileCreateError);
}

TEST(FailedList, SplitsAtTheFirstBar) {
  FailedTile tile = SplitFailedLine("/d/newtask/gv_3_1_2.jpg|http://h/cbk?a=1|b");
  EXPECT_EQ(tile.File, "/d/newtask/gv_3_1_2.jpg");
  EXPECT_EQ(tile.Address, "http://h/cbk?a=1|b");
  FailedTile bare = SplitFailedLine("http://h/x");
  EXPECT_EQ(bare.File, "");
  EXPECT_EQ(bare.Address, "http://h/x");
  EXPECT_EQ(FailedLine("/d/t/gv_3_1_2.jpg", "http://h/cbk?x=3&y=1&zoom=2"),
            "/d/t/gv_3_1_2.jpg|http://h/cbk?x=3&y=1&zoom=2");
}

}  // namespace
}  // namespace korvane
