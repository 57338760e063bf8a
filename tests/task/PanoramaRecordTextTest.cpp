#include <gtest/gtest.h>

#include "task/PanoramaRecordText.h"

namespace korvane::test {
namespace {

TEST(PanoramaRecordText, ALinePerKnownFieldAndPerListItem) {
  PanoramaRecord record;
  record.PanoId = "AbCdEf";
  record.Protocol = PanoramaProtocol::Current;
  record.Latitude = 48.8584;
  record.Longitude = -2.25;
  record.Elevation = 35.25;
  record.Heading = 370.5;  // checked: 10.5
  record.Tilt = -1.5;
  record.Date = CaptureMonth{2019, 7};
  record.Copyright = "\xc2\xa9 2019 Service";
  record.AddressLines = {"5 Rue X", "Paris"};
  record.Links = {{"Next", 90.0}, {"Other", std::nullopt}};
  record.OtherDates = {{"Older", CaptureMonth{2011, 4}}, {"Undated", std::nullopt}};
  record.ImageWidth = 16384;
  record.ImageHeight = 8192;
  record.TileWidth = record.TileHeight = 512;
  EXPECT_EQ(PanoramaRecordText(record),
            "Panorama: AbCdEf\n"
            "Protocol: current\n"
            "Position: 48.858400, -2.250000\n"
            "Elevation: 35.2 m\n"
            "Heading: 10.50 degrees\n"
            "Tilt: -1.50 degrees\n"
            "Taken: 2019-07\n"
            "Copyright: \xc2\xa9 2019 Service\n"
            "Address: 5 Rue X\n"
            "Address: Paris\n"
            "Link: Next, bearing 90.00 degrees\n"
            "Link: Other\n"
            "Other date: 2011-04, Older\n"
            "Other date: unknown, Undated\n"
            "Size: 16384 x 8192, tiles 512 x 512\n");
}

TEST(PanoramaRecordText, NothingKnownNothingPrintedAndNoControlCharacters) {
  EXPECT_EQ(PanoramaRecordText(PanoramaRecord{}), "");
  PanoramaRecord hostile;
  hostile.PanoId = "Id";
  hostile.Copyright = "\x1b]0;title\x07";
  hostile.AddressLines = {"ok", "bad\r\nline"};
  EXPECT_EQ(PanoramaRecordText(hostile), "Panorama: Id\nAddress: ok\n");
}

}  // namespace
}  // namespace korvane::test
