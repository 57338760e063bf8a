#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

PanoramaRecord FullRecord() {
  PanoramaRecord record;
  record.PanoId = "abcDEF_12-x";
  record.Protocol = PanoramaProtocol::Current;
  record.Latitude = 48.858;
  record.Longitude = -2.294;
  record.Elevation = 35.5;
  record.Heading = 271.25;
  record.Tilt = 1.5;
  record.Roll = -0.25;
  record.Date = CaptureMonth{2019, 7};
  record.Copyright = "© 2019 Somebody";
  record.AddressLines = {"1 Main Street", "Town"};
  record.Links = {{"n1", 90.0}, {"n2", std::nullopt}};
  record.OtherDates = {{"old1", CaptureMonth{2009, 3}}, {"old2", std::nullopt}};
  record.ImageWidth = 16384;
  record.ImageHeight = 8192;
  record.TileWidth = record.TileHeight = 512;
  return record;
}

TEST(PanoramaRecordFile, WrittenBesideTheTaskAndReadBackWhole) {
  test::TempFolder folder;
  const std::string task = folder.Path() + "place.krvn";
  EXPECT_EQ(PanoramaRecordPath(task), folder.Path() + "place.json");
  EXPECT_FALSE(ReadPanoramaRecord(task));
  WritePanoramaRecord(task, FullRecord());
  EXPECT_EQ(ReadPanoramaRecord(task), FullRecord());
  EXPECT_EQ(PanoramaRecordFromJson("{}"), PanoramaRecord{});
}

// What a hostile file or answer may hold is dropped field by field; the rest is kept.
TEST(PanoramaRecordFile, DropsWhatFailsTheRules) {
  const struct {
    const char* json;
    PanoramaRecord expected;
  } cases[] = {
      {R"({"id":"../etc","lat":91,"lon":2})", {}},
      {R"({"lat":"48","lon":2,"heading":-90,"date":"2019-13"})",
       [] {
         PanoramaRecord r;
         r.Heading = 270.0;
         return r;
       }()},
      {R"({"copyright":"a\u001b[2Jb","address":["x\u0007",5,"ok"],"tile_width":-512})",
       [] {
         PanoramaRecord r;
         r.AddressLines = {"ok"};
         return r;
       }()},
      {R"({"links":[{"id":"a b"},{"id":"ok","bearing":450},7],"image_width":1e300})",
       [] {
         PanoramaRecord r;
         r.Links = {{"ok", 90.0}};
         return r;
       }()},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PanoramaRecordFromJson(c.json), c.expected) << c.json;
  for (const char* notRecord : {"", "[]", "{", "[[[[[[[[{}]]]]]]]]", "{\"links\":[[[[]]]]}"})
    EXPECT_FALSE(PanoramaRecordFromJson(notRecord)) << notRecord;
  EXPECT_EQ(CheckedPanoramaRecord([] {
              PanoramaRecord r;
              r.Copyright = std::string(MaxRecordTextLength - 1, 'a') + "é";
              return r;
            }())
                .Copyright.size(),
            MaxRecordTextLength - 1);
}

TEST(PanoramaRecordFile, CaptureMonthText) {
  EXPECT_EQ(CaptureMonthText({2019, 7}), "2019-07");
  EXPECT_EQ(ParseCaptureMonth("2019-07"), (CaptureMonth{2019, 7}));
  for (const char* bad : {"2019-7", "2019-00", "2019-13", "19-07-01", "2019/07", "abcd-ef"})
    EXPECT_FALSE(ParseCaptureMonth(bad)) << bad;
}

}  // namespace
}  // namespace korvane
