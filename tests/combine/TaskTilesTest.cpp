#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <future>

#include "combine/CombineLimits.h"
#include "combine/TaskTiles.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/TaskFile.h"

namespace korvane {
namespace {

class TaskTilesTest : public ::testing::Test {
 protected:
  std::string WriteTask(const std::string& content) {
    const std::string path = folder_.Path() + "street.krvn";
    WriteFileBytes(path, content);
    return path;
  }

  test::TempFolder folder_;
};

TEST_F(TaskTilesTest, ClassicTask_GridOfTheZoomAndClassicSize) {
  const std::string path = WriteTask(
      "[MapsType]\r\nMapsType=32\r\n[Pano]\r\nPano_id=abc\r\n[Zoom]\r\nZoom=3\r\n\r\n"
      "[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=6\r\nMaxY=3\r\n");
  const TaskTiles tiles = ReadTaskTiles(path);
  EXPECT_EQ(tiles.Protocol, PanoramaProtocol::Classic);
  EXPECT_EQ(tiles.PanoId, "abc");
  EXPECT_EQ(tiles.Zoom, 3);
  EXPECT_EQ(tiles.Grid.TotalCount(), 28);
  EXPECT_EQ(tiles.ImageWidth, 3328);
  EXPECT_EQ(tiles.ImageHeight, 1664);
  EXPECT_FALSE(ReadTaskFile(path).Image);  // the classic size, not the file's
  EXPECT_EQ(tiles.CaptureDate, "");
  EXPECT_EQ(tiles.TileFolder, folder_.Path() + "street/");
  EXPECT_EQ(tiles.TilePath(5, 2), folder_.Path() + "street/gv_5_2_3.jpg");
}

TEST_F(TaskTilesTest, WithoutGridSection_TheZoomsGrid) {
  const TaskTiles tiles = ReadTaskTiles(WriteTask("[Zoom]\nZoom=5\n"));
  EXPECT_EQ(tiles.Grid.Columns(), 26);
  EXPECT_EQ(tiles.Grid.Rows(), 13);
  EXPECT_EQ(tiles.ImageWidth, 13312);
  EXPECT_EQ(tiles.ImageHeight, 6656);
}

TEST_F(TaskTilesTest, CurrentTask_GridImageSizeAndDateFromTheFile) {
  const std::string path = WriteTask(
      "[MapsType]\nMapsType=33\n[Zoom]\nZoom=3\n[XY]\nMinX=0\nMinY=0\nMaxX=7\nMaxY=3\n"
      "[Image]\nWidth=4096\nHeight=2048\nDate=2019-07\n");
  const TaskTiles tiles = ReadTaskTiles(path);
  EXPECT_EQ(tiles.Protocol, PanoramaProtocol::Current);
  EXPECT_EQ(tiles.Grid.TotalCount(), 32);
  EXPECT_EQ(tiles.ImageWidth, 4096);
  EXPECT_EQ(tiles.ImageHeight, 2048);
  EXPECT_TRUE(ReadTaskFile(path).Image);
  EXPECT_EQ(tiles.CaptureDate, "2019-07");
}

TEST_F(TaskTilesTest, DateThatIsNoDate_Ignored) {
  const TaskTiles tiles = ReadTaskTiles(WriteTask("[Zoom]\nZoom=1\n[Image]\nDate=2019-07\"><x\n"));
  EXPECT_EQ(tiles.CaptureDate, "");
}

TEST_F(TaskTilesTest, DamagedFiles_RefusedWithTheFilesName) {
  const char* damaged[] = {
      "[Zoom]\nZoom=6\n",
      "[Pano]\nPano_id=x\n",
      "[Zoom]\nZoom=3\n[XY]\nMinX=0\nMinY=0\nMaxX=-1\nMaxY=3\n",
      "[Zoom]\nZoom=3\n[XY]\nMinX=0\nMinY=0\nMaxX=5000\nMaxY=3\n",
      "[Zoom]\nZoom=3\n[XY]\nMaxX=6\n",
      "[Zoom]\nZoom=3\n[XY]\nMinX=1\nMinY=0\nMaxX=7\nMaxY=3\n",  // a grid starts at 0, 0
      "[Zoom]\nZoom=3\n[Image]\nWidth=4000\nHeight=1664\n",      // wider than 7 tiles
      "[Zoom]\nZoom=3\n[Image]\nWidth=3328\n",
      "[Zoom]\nZoom=3\n[Image]\nWidth=0\nHeight=0\n",
  };
  for (const char* content : damaged) {
    const std::string path = WriteTask(content);
    try {
      ReadTaskTiles(path);
      ADD_FAILURE() << "accepted: " << content;
    } catch (const Exception& error) {
      EXPECT_NE(error.Message().find(path), std::string::npos) << error.Message();
    }
  }
}

TEST_F(TaskTilesTest, MissingTilePaths_OnlyThePicturesTilesRowByRow) {
  // 3 x 2 tiles, but the picture reaches only into the first two columns.
  const TaskTiles tiles = ReadTaskTiles(WriteTask(
      "[Zoom]\nZoom=2\n[XY]\nMinX=0\nMinY=0\nMaxX=2\nMaxY=1\n[Image]\nWidth=1000\nHeight=600\n"));
  CreateDir(tiles.TileFolder);
  WriteFileBytes(tiles.TilePath(0, 0), "x");
  WriteFileBytes(tiles.TilePath(1, 1), "x");
  EXPECT_EQ(MissingTilePaths(tiles),
            (std::vector<std::string>{tiles.TilePath(1, 0), tiles.TilePath(0, 1)}));
}

TEST_F(TaskTilesTest, FailedTileCount_LinesOfTheFailedList) {
  const TaskTiles tiles = ReadTaskTiles(WriteTask("[Zoom]\nZoom=1\n"));
  EXPECT_EQ(tiles.FailedListPath, folder_.Path() + "street_failed.ftl");
  EXPECT_EQ(FailedTileCount(tiles), 0);
  WriteFileBytes(tiles.FailedListPath, "a|http://x/1\r\nb|http://x/2\r\n");
  EXPECT_EQ(FailedTileCount(tiles), 2);
}

// What is no task file is refused at once as a file that cannot be opened: a FIFO (which would
// wait for a writer), a device (which never ends), a folder, a file far bigger than a task.
TEST_F(TaskTilesTest, NoRegularTaskFile_RefusedWithoutWaitingOrReadingForEver) {
  namespace fs = std::filesystem;
  const std::string fifo = folder_.Path() + "fifo.krvn";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string zero = folder_.Path() + "zero.krvn";
  fs::create_symlink("/dev/zero", zero);
  const std::string folder = folder_.Path() + "folder.krvn";
  fs::create_directory(folder);
  const std::string huge = folder_.Path() + "huge.krvn";
  WriteFileBytes(huge, "[Zoom]\nZoom=1\n");
  fs::resize_file(huge, MaxTaskFileBytes + 1);  // sparse: no disk space taken

  for (const std::string& path : {fifo, zero, folder, huge}) {
    SCOPED_TRACE(path);
    std::future<std::string> refusal = std::async(std::launch::async, [&path] {
      try {
        ReadTaskTiles(path);
        return std::string("read");
      } catch (const Exception& error) {
        return error.Message();
      }
    });
    if (refusal.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
      // Let a reader stuck on the FIFO go before failing.
      const int writer = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
      if (writer >= 0) ::close(writer);
      FAIL() << "the reader waited";
    }
    EXPECT_EQ(refusal.get(), "Cannot open file " + path);
  }
}

TEST_F(TaskTilesTest, MissingFile_CannotOpen) {
  const std::string path = folder_.Path() + "none.krvn";
  try {
    ReadTaskTiles(path);
    FAIL();
  } catch (const Exception& error) {
    EXPECT_EQ(error.Message(), "Cannot open file " + path);
  }
}

}  // namespace
}  // namespace korvane
