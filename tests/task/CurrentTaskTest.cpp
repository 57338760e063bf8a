#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "support/TempFolder.h"
#include "task/DownloadTask.h"
#include "task/TileGrid.h"

namespace korvane {
namespace {

// The three kinds of panorama the service has, by their size at the highest zoom, and the tile
// counts at zoom 1..5 (0 where the panorama has no such level).
struct PanoramaSizeCase {
  int Width;
  int Height;
  int HighestZoom;
  int Totals[5];
};
constexpr PanoramaSizeCase Kinds[] = {
    {16384, 8192, 5, {2, 8, 32, 128, 512}},
    {13312, 6656, 5, {2, 8, 28, 91, 338}},
    {3328, 1664, 3, {2, 8, 28, 0, 0}},
};

TEST(GridForPanorama, EveryKindAtEveryZoom) {
  for (const auto& kind : Kinds) {
    for (int zoom = 1; zoom <= kind.HighestZoom; ++zoom) {
      const int shift = kind.HighestZoom - zoom;
      const auto grid = GridForPanorama(kind.Width >> shift, kind.Height >> shift, 512, 512);
      ASSERT_TRUE(grid);
      EXPECT_EQ(grid->TotalCount(), kind.Totals[zoom - 1]) << kind.Width << " at " << zoom;
      EXPECT_EQ(grid->MinX, 0);
      EXPECT_EQ(grid->MinY, 0);
      EXPECT_EQ(grid->Columns(), (kind.Width >> shift) / 512 + ((kind.Width >> shift) % 512 != 0));
    }
  }
  // Round up, never down: one pixel more is one column more.
  EXPECT_EQ(GridForPanorama(513, 1, 512, 512)->Columns(), 2);
  EXPECT_EQ(GridForPanorama(1, 1, 512, 512)->TotalCount(), 1);
  EXPECT_EQ(GridForPanorama(600, 300, 256, 128)->Rows(), 3);
}

TEST(GridForPanorama, NoGridForImpossibleSizes) {
  EXPECT_FALSE(GridForPanorama(0, 100, 512, 512));
  EXPECT_FALSE(GridForPanorama(100, -1, 512, 512));
  EXPECT_FALSE(GridForPanorama(100, 100, 0, 512));
  EXPECT_FALSE(GridForPanorama(2147483647, 1, 1, 1));
  EXPECT_TRUE(GridForPanorama(MaxTileGridSide, MaxTileGridSide, 1, 1));
  EXPECT_FALSE(GridForPanorama(MaxTileGridSide + 1, 1, 1, 1));
  EXPECT_FALSE(GridForPanorama(2147483647, 2147483647, 2147483647, 1));
  EXPECT_TRUE(GridForPanorama(2147483647, 2147483647, 2147483647, 2147483647));
}

class CurrentTaskTest : public ::testing::Test {
 protected:
  test::TempProgramFolder program;
  test::TempFolder save;
  TaskParameters params;

  CurrentTaskTest() {
    params.SavePath = save.Path();
    params.TaskFileName = "street.krvn";
    params.PanoId = "AF1Qip-x_9";
    params.Protocol = PanoramaProtocol::Current;
    params.Zoom = 3;
    params.Latitude = 48.5;
    params.Longitude = 2.25;
    params.ImageWidth = 3328;
    params.ImageHeight = 1664;
    params.TileWidth = 512;
    params.TileHeight = 512;
    params.CaptureDate = "2019-07";
  }
  DownloadTask Build() { return DownloadTask(&params); }
};

TEST_F(CurrentTaskTest, GridFromThePictureSizeAndOneTileHostForEveryRow) {
  program.WriteConfig("[Service]\nTileBase=http://127.0.0.5:8080/\nServer1=127.0.0.9\n");
  const DownloadTask task = Build();
  EXPECT_EQ(task.Grid().MaxX, 6);
  EXPECT_EQ(task.Grid().MaxY, 3);
  EXPECT_EQ(task.Grid().TotalCount(), 28);
  for (int y = 0; y <= 3; ++y) {
    EXPECT_EQ(task.GetTileUrl(6, y),
              "http://127.0.0.5:8080/v1/tile?cb_client=maps_sv.tactile"
              "&panoid=AF1Qip-x_9&x=6&y=" +
                  std::to_string(y) + "&zoom=3");
  }
  EXPECT_EQ(task.GetTileFileName(6, 3), "gv_6_3_3.jpg");
}

TEST_F(CurrentTaskTest, TileBaseDefaultsToTodaysTileHost) {
  EXPECT_EQ(Build().GetTileUrl(0, 0),
            "https://streetviewpixels-pa.googleapis.com/v1/tile?cb_client=maps_sv.tactile"
            "&panoid=AF1Qip-x_9&x=0&y=0&zoom=3");
}

TEST_F(CurrentTaskTest, TaskFileRecordsKindGridAndImage) {
  Build().SaveTaskFile();
  EXPECT_EQ(ReadFileBytes(save.Path() + "street.krvn"),
            "[MapsType]\r\nMapsType=33\r\n[AREA]\r\nLatitude=48.5\r\nLongitude=2.25\r\n"
            "[Pano]\r\nPano_id=AF1Qip-x_9\r\n[Zoom]\r\nZoom=3\r\n\r\n"
            "[XY]\r\nMinX=0\r\nMinY=0\r\nMaxX=6\r\nMaxY=3\r\n\r\n"
            "[Image]\r\nWidth=3328\r\nHeight=1664\r\nDate=2019-07\r\n\r\n");
  params.CaptureDate.clear();
  Build().SaveTaskFile();
  EXPECT_EQ(TIniFile(save.Path() + "street.krvn").ReadString("Image", "Date", "none"), "none");
}

TEST_F(CurrentTaskTest, LogHeaderNamesThePanoramasSize) {
  Build().WriteLogHeader();
  const std::string log = ReadFileBytes(save.Path() + "street_log.txt");
  EXPECT_NE(log.find("\r\nMapsType=33\r\nLatitude=48.5\r\nLongitude=2.25\r\nPano_id=AF1Qip-x_9\r\n"
                     "Image=3328x1664\r\nDate=2019-07\r\n\r\nMinX = 0\r\n"),
            std::string::npos)
      << log;
  EXPECT_NE(log.find("Total count of images would be downloaded: 28\r\n"), std::string::npos);
}

TEST_F(CurrentTaskTest, ContinuedTaskTakesTheGridOfItsFile) {
  params.ImageWidth = 16384 >> 2;  // the first run: 8 x 4
  params.ImageHeight = 8192 >> 2;
  Build().SaveTaskFile();
  TIniFile(save.Path() + "street.krvn").WriteInteger("THREADS", "T3X", 7);
  TIniFile(save.Path() + "street.krvn").WriteInteger("THREADS", "T3Y", 2);

  // The service now tells another size: the continued task keeps the grid it started with.
  params.ContinueTask = true;
  params.ImageWidth = 3328;
  params.ImageHeight = 1664;
  const DownloadTask task = Build();
  EXPECT_EQ(task.Grid().MaxX, 7);
  EXPECT_EQ(task.Grid().MaxY, 3);
  EXPECT_EQ(task.Grid().TotalCount(), 32);
  EXPECT_EQ(task.ResumeSkip(2), 7 * 4 + 2 + 1);
}

TEST_F(CurrentTaskTest, ContinuedTaskWithADamagedGridUsesThePictureSize) {
  for (const char* xy :
       {"", "MinX=0\nMinY=0\nMaxX=-1\nMaxY=3\n", "MinX=1\nMinY=0\nMaxX=6\nMaxY=3\n",
        "MinX=0\nMinY=0\nMaxX=6\nMaxY=999\n", "MinX=0\nMinY=0\nMaxX=x\nMaxY=3\n"}) {
    WriteFileBytes(save.Path() + "street.krvn",
                   std::string("[MapsType]\nMapsType=33\n[XY]\n") + xy);
    params.ContinueTask = true;
    const DownloadTask task = Build();
    EXPECT_EQ(task.Grid().TotalCount(), 28) << xy;
  }
  params.ImageWidth = 0;
  EXPECT_THROW(Build(), Exception);
}

TEST_F(CurrentTaskTest, ClassicTaskKeepsItsFixedGridAndSixteenLines) {
  params.Protocol = PanoramaProtocol::Classic;
  const DownloadTask task = Build();
  EXPECT_EQ(task.Grid().TotalCount(), 28);
  EXPECT_EQ(task.GetTileUrl(0, 1),
            "http://cbk1.google.com/cbk?output=tile&panoid=AF1Qip-x_9&x=0&y=1&zoom=3");
  task.SaveTaskFile();
  EXPECT_EQ(ReadFileBytes(save.Path() + "street.krvn").find("[Image]"), std::string::npos);
}

}  // namespace
}  // namespace korvane
