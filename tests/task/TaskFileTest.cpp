#include <gtest/gtest.h>

#include <optional>
#include <utility>
#include <vector>

#include "net/ServiceAddresses.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/PanoramaProtocol.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane {
namespace {

TEST(PanoramaProtocol, NamesAndMapsTypesTurnBothWays) {
  for (const PanoramaProtocol protocol :
       {PanoramaProtocol::Classic, PanoramaProtocol::Current, PanoramaProtocol::MapTiles}) {
    EXPECT_EQ(ParsePanoramaProtocol(ProtocolName(protocol)), protocol);
    EXPECT_EQ(ProtocolOfMapsType(MapsTypeOf(protocol)), protocol);
  }
  EXPECT_EQ(MapsTypeOf(PanoramaProtocol::Classic), 32);
  EXPECT_EQ(MapsTypeOf(PanoramaProtocol::Current), 33);
  EXPECT_EQ(MapsTypeOf(PanoramaProtocol::MapTiles), 34);
  EXPECT_EQ(ParsePanoramaProtocol("MapTiles"), PanoramaProtocol::MapTiles);
  EXPECT_EQ(ProtocolName(PanoramaProtocol::Classic), "classic");
  EXPECT_EQ(ParsePanoramaProtocol("cURRENT"), PanoramaProtocol::Current);
  EXPECT_EQ(ParsePanoramaProtocol(DefaultProtocolName), PanoramaProtocol::Current);
  for (const int mapsType : {0, 31, 35, 100, -33})
    EXPECT_EQ(ProtocolOfMapsType(mapsType), std::nullopt);
}

TEST(TaskFileNames, EveryFileBesideTheTaskFile) {
  const TaskFileNames names = TaskFileNamesOf("/d/a.b/street.krvn");
  EXPECT_EQ(names.TaskFile, "/d/a.b/street.krvn");
  EXPECT_EQ(names.TileFolder, "/d/a.b/street/");
  EXPECT_EQ(names.LogFile, "/d/a.b/street_log.txt");
  EXPECT_EQ(names.FailedList, "/d/a.b/street_failed.ftl");
  EXPECT_EQ(TaskFileNamesOf("/d/a.b/noext").TileFolder, "/d/a.b/noext/");
}

// The re-download finds a list's task by the list's name, the reverse of TaskFileNamesOf.
TEST(TaskFileNames, AFailedListNamesItsTaskFile) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
      {"/d/a.b/street_failed.ftl", "/d/a.b/street.krvn"},
      {"street_failed.ftl", "street.krvn"},
      {"/d/x_failed.ftl/y_failed.ftl", "/d/x_failed.ftl/y.krvn"},
      {"/d/_failed.ftl", std::nullopt},  // no task name
      {"/d/street.ftl", std::nullopt},
      {"/d/street_failed.ftl.bak", std::nullopt},
      {"/d/street_FAILED.ftl", std::nullopt},
      {"", std::nullopt},
  };
  for (const auto& [list, task] : cases)
    EXPECT_EQ(TaskFileOfFailedList(list), task) << list;
  EXPECT_EQ(TaskFileOfFailedList(TaskFileNamesOf("/d/t.krvn").FailedList), "/d/t.krvn");
}

TEST(TaskFileNames, TileNamesBothWays) {
  EXPECT_EQ(TileFileName(25, 12, 5), "gv_25_12_5.jpg");
  const auto tile = ParseTileFileName("gv_25_12_5.jpg");
  ASSERT_TRUE(tile);
  EXPECT_EQ(tile->X, 25);
  EXPECT_EQ(tile->Y, 12);
  EXPECT_EQ(tile->Zoom, 5);
  for (const char* name : {"gv_1_2.jpg", "gv_1_2_3.jpeg", "gv_-1_2_3.jpg", "gv_1_2_3_4.jpg",
                           "xgv_1_2_3.jpg", "gv_1__3.jpg", "gv_1_2_3x.jpg", "gv_1_2_.jpg"})
    EXPECT_FALSE(ParseTileFileName(name)) << name;
}

class TaskFileTest : public ::testing::Test {
 protected:
  std::string Write(const std::string& content) {
    WriteFileBytes(path_, content);
    return path_;
  }
  TaskFile Read(const std::string& content) { return ReadTaskFile(Write(content)); }

  test::TempFolder folder_;
  const std::string path_ = folder_.Path() + "street.krvn";
};

TEST_F(TaskFileTest, MissingFileReadsAsOneWithoutKeys) {
  const TaskFile file = ReadTaskFile(folder_.Path() + "none.krvn");
  EXPECT_EQ(file.Protocol, std::nullopt);
  EXPECT_EQ(file.Zoom, std::nullopt);
  EXPECT_EQ(file.Grid, std::nullopt);
  EXPECT_FALSE(file.GridDamaged);
  EXPECT_EQ(file.Image, std::nullopt);
  EXPECT_EQ(file.Resume[0], TilePosition{});
}

TEST_F(TaskFileTest, NumbersAsStoredAbsentOnlyWhenNoNumber) {
  const struct {
    const char* Content;
    std::optional<int> Zoom;
    std::optional<PanoramaProtocol> Protocol;
  } cases[] = {
      {"[Zoom]\nZoom=0\n[MapsType]\nMapsType=33\n", 0, PanoramaProtocol::Current},
      {"[Zoom]\nZoom=1\n[MapsType]\nMapsType=0x20\n", 1, PanoramaProtocol::Classic},
      {"[Zoom]\nZoom=-1\n[MapsType]\nMapsType=35\n", -1, std::nullopt},
      {"[Zoom]\nZoom=x\n[MapsType]\nMapsType=\n", std::nullopt, std::nullopt},
      {"[zoom]\nzoom = 18 \n", 18, std::nullopt},
  };
  for (const auto& c : cases) {
    const TaskFile file = Read(c.Content);
    EXPECT_EQ(file.Zoom, c.Zoom) << c.Content;
    EXPECT_EQ(file.Protocol, c.Protocol) << c.Content;
  }
}

TEST_F(TaskFileTest, GridSoundOnlyFromTheOriginAndDamagedWhenAKeyIsThere) {
  const struct {
    const char* Xy;
    bool Sound;
    bool Damaged;
  } cases[] = {
      {"MinX=0\nMinY=0\nMaxX=7\nMaxY=3\n", true, false},
      {"MinX=0\nMinY=0\nMaxX=255\nMaxY=0\n", true, false},
      {"MinX=0\nMinY=0\nMaxX=256\nMaxY=3\n", false, true},
      {"MinX=1\nMinY=0\nMaxX=7\nMaxY=3\n", false, true},
      {"MinX=0\nMinY=0\nMaxX=-2\nMaxY=3\n", false, true},
      {"MaxX=7\n", false, true},
      {"MinX=-1\nMinY=-1\nMaxX=x\nMaxY=\n", false, false},
      {"", false, false},
  };
  for (const auto& c : cases) {
    const TaskFile file = Read(std::string("[XY]\n") + c.Xy);
    EXPECT_EQ(file.Grid.has_value(), c.Sound) << c.Xy;
    EXPECT_EQ(file.GridDamaged, c.Damaged) << c.Xy;
  }
  EXPECT_EQ(Read("[XY]\nMinX=0\nMinY=0\nMaxX=7\nMaxY=3\n").Grid->TotalCount(), 32);
}

TEST_F(TaskFileTest, ImageAndDate) {
  const TaskFile file = Read("[Image]\nWidth=4096\nHeight=2048\nDate=2019-07-31\n");
  EXPECT_EQ(file.Image, (ImageSize{4096, 2048}));
  EXPECT_EQ(file.CaptureDate, "2019-07-31");
  EXPECT_TRUE(Read("[Image]\nWidth=0\nHeight=2048\n").ImageDamaged);
  EXPECT_TRUE(Read("[Image]\nHeight=-1\nWidth=-5\n").ImageDamaged);
  EXPECT_FALSE(Read("[Image]\nWidth=-1\nHeight=x\n").ImageDamaged);
  for (const char* date : {"2019-7", "2019/07", "2019-07-3x", "20190731", ""})
    EXPECT_EQ(Read(std::string("[Image]\nDate=") + date + "\n").CaptureDate, "") << date;
}

TEST_F(TaskFileTest, ResumePositionsOfEverySlot) {
  const TaskFile file = Read("[THREADS]\nT1X=4\nT1Y=3\nT8X=-7\nT8Y=x\n");
  EXPECT_EQ(file.Resume[0], (TilePosition{4, 3}));
  EXPECT_EQ(file.Resume[1], TilePosition{});
  EXPECT_EQ(file.Resume[7], (TilePosition{-7, 0}));
}

TEST_F(TaskFileTest, WrittenFileReadsBack) {
  TaskFile written;
  written.Protocol = PanoramaProtocol::Current;
  written.Latitude = "48,5";
  written.Longitude = "-2.25";
  written.PanoId = "AF1Qip-x_9";
  written.Zoom = 3;
  written.Grid = TileGrid{0, 0, 6, 3};
  written.Image = ImageSize{3328, 1664};
  written.CaptureDate = "2019-07";
  WriteTaskFile(path_, written);
  const TaskFile read = ReadTaskFile(path_);
  EXPECT_EQ(read.Protocol, written.Protocol);
  EXPECT_EQ(read.Latitude, written.Latitude);
  EXPECT_EQ(read.Longitude, written.Longitude);
  EXPECT_EQ(read.PanoId, written.PanoId);
  EXPECT_EQ(read.Zoom, written.Zoom);
  EXPECT_EQ(read.Grid->MaxX, 6);
  EXPECT_EQ(read.Grid->MaxY, 3);
  EXPECT_EQ(read.Image, written.Image);
  EXPECT_EQ(read.CaptureDate, written.CaptureDate);
  EXPECT_FALSE(read.StartedById);
  EXPECT_EQ(ReadFileBytes(path_).find("ById"), std::string::npos);

  written.StartedById = true;
  WriteTaskFile(path_, written);
  EXPECT_NE(ReadFileBytes(path_).find("[Pano]\r\nPano_id=AF1Qip-x_9\r\nById=1\r\n[Zoom]"),
            std::string::npos);
  EXPECT_TRUE(ReadTaskFile(path_).StartedById);
  for (const char* other : {"0", "yes", "2", ""}) {
    WriteFileBytes(path_, std::string("[Pano]\r\nPano_id=A\r\nById=") + other + "\r\n");
    EXPECT_FALSE(ReadTaskFile(path_).StartedById) << other;
  }
}

TEST_F(TaskFileTest, ResumePositionsAppendedInSlotOrderAndNothingForNone) {
  Write("[Zoom]\r\nZoom=3\r\n\r\n");
  WriteResumePositions(path_, {});
  EXPECT_EQ(ReadFileBytes(path_), "[Zoom]\r\nZoom=3\r\n\r\n");
  WriteResumePositions(path_, {{0, {4, 3}}, {2, {6, 1}}});
  EXPECT_EQ(ReadFileBytes(path_),
            "[Zoom]\r\nZoom=3\r\n\r\n[THREADS]\r\nT1X=4\r\nT1Y=3\r\nT3X=6\r\nT3Y=1\r\n");
  WriteResumePositions(path_, {{0, {5, 1}}});
  EXPECT_EQ(ReadFileBytes(path_),
            "[Zoom]\r\nZoom=3\r\n\r\n[THREADS]\r\nT1X=5\r\nT1Y=1\r\nT3X=6\r\nT3Y=1\r\n");
}

TEST_F(TaskFileTest, DescribesTilesOnlyWithAZoomASoundGridAndAnImageInside) {
  const struct {
    const char* Content;
    const char* Fault;  // nullptr: describes tiles
  } cases[] = {
      {"[Zoom]\nZoom=3\n", nullptr},
      {"[Zoom]\nZoom=3\n[Image]\nWidth=3584\nHeight=2048\n", nullptr},
      {"[Zoom]\nZoom=3\n[Image]\nWidth=3585\nHeight=2048\n", "impossible image size"},
      {"[Zoom]\nZoom=0\n", "names no zoom level from 1 to 5"},
      {"[Zoom]\nZoom=3\n[XY]\nMinX=1\nMinY=0\nMaxX=6\nMaxY=3\n", "impossible tile grid"},
  };
  for (const auto& c : cases) {
    const TaskFile file = Read(c.Content);
    if (!c.Fault) {
      EXPECT_NO_THROW(file.CheckDescribesTiles(path_)) << c.Content;
      continue;
    }
    try {
      file.CheckDescribesTiles(path_);
      ADD_FAILURE() << "accepted: " << c.Content;
    } catch (const Exception& error) {
      EXPECT_NE(error.Message().find(c.Fault), std::string::npos) << error.Message();
      EXPECT_NE(error.Message().find(path_), std::string::npos) << error.Message();
    }
  }
}

}  // namespace
}  // namespace korvane
