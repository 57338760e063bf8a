#include <gtest/gtest.h>

#include <cmath>

#include "CombineTestTiles.h"
#include "combine/ExifSegment.h"
#include "combine/JpegStreamWriter.h"
#include "combine/PanoramaCombiner.h"
#include "combine/PanoramaXmp.h"
#include "support/ExifReadBack.h"
#include "support/TempFolder.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

using Ifd = test::ExifFields::Ifd;

constexpr std::uint16_t CopyrightTag = 0x8298;
constexpr std::uint16_t DateTimeOriginalTag = 0x9003;
constexpr std::uint16_t ExifVersionTag = 0x9000;

PanoramaRecord FullRecord() {
  PanoramaRecord record;
  record.PanoId = "abcdefghijklmnopqrstuv";
  record.Latitude = 48.858370;
  record.Longitude = 2.294481;
  record.Elevation = 35.5;
  record.Heading = 123.25;
  record.Tilt = 1.5;
  record.Roll = -0.75;
  record.Date = CaptureMonth{2021, 6};
  record.Copyright = "\xC2\xA9 2021 Rivers & <Roads>";
  return record;
}

TEST(PictureMetadata, FullRecord_EveryValueReadsBackFromExifAndXmp) {
  const std::vector<std::string> segments = PictureApp1Segments(MetadataOfRecord(FullRecord()));
  ASSERT_EQ(segments.size(), 2u);
  const auto exif = test::ReadExifSegment(segments[0]);
  ASSERT_TRUE(exif);
  EXPECT_EQ(exif->Text(Ifd::Zero, CopyrightTag), FullRecord().Copyright);
  EXPECT_EQ(exif->Text(Ifd::Exif, DateTimeOriginalTag), "2021:06:01 00:00:00");
  EXPECT_EQ(exif->Fields.at({Ifd::Exif, ExifVersionTag}).Bytes, "0232");
  EXPECT_NEAR(*exif->GpsDegrees(1, 2), 48.858370, 1e-7);
  EXPECT_NEAR(*exif->GpsDegrees(3, 4), 2.294481, 1e-7);
  EXPECT_EQ(exif->Fields.at({Ifd::Gps, 5}).Bytes, std::string(1, '\0'));
  EXPECT_EQ(exif->Rationals(Ifd::Gps, 6), std::vector<double>{35.5});
  EXPECT_EQ(exif->Text(Ifd::Gps, 0x10), "T");
  EXPECT_EQ(exif->Rationals(Ifd::Gps, 0x11), std::vector<double>{123.25});

  const std::string& xmp = segments[1];
  EXPECT_EQ(xmp.rfind(std::string(XmpSegmentSignature, sizeof XmpSegmentSignature), 0), 0u);
  for (const char* property :
       {"GPano:PoseHeadingDegrees=\"123.25\"", "GPano:PosePitchDegrees=\"1.5\"",
        "GPano:PoseRollDegrees=\"-0.75\"", "exif:DateTimeOriginal=\"2021-06\"",
        "<rdf:li xml:lang=\"x-default\">\xC2\xA9 2021 Rivers &amp; &lt;Roads&gt;</rdf:li>",
        "xmlns:dc=\"http://purl.org/dc/elements/1.1/\""}) {
    EXPECT_NE(xmp.find(property), std::string::npos) << property;
  }
  EXPECT_EQ(xmp.find("GPano:ProjectionType"), std::string::npos) << "not said to be a panorama";
}

// Each hemisphere's reference letters; altitude below the sea; rounding to the ten-thousandth
// second of arc.
TEST(PictureMetadata, Hemispheres_SignsBecomeReferences) {
  struct Case {
    double Latitude, Longitude, Altitude;
  };
  for (const Case& c : {Case{-33.856784, 151.215297, 4}, Case{40.689247, -74.044502, -2.25},
                        Case{-0.000001, -179.999999, 0}}) {
    PictureMetadata metadata;
    metadata.Latitude = c.Latitude;
    metadata.Longitude = c.Longitude;
    metadata.Altitude = c.Altitude;
    const auto exif = test::ReadExifSegment(ExifSegment(metadata));
    ASSERT_TRUE(exif);
    EXPECT_NEAR(*exif->GpsDegrees(1, 2), c.Latitude, 1e-7);
    EXPECT_NEAR(*exif->GpsDegrees(3, 4), c.Longitude, 1e-7);
    EXPECT_EQ(exif->Fields.at({Ifd::Gps, 5}).Bytes, std::string(1, c.Altitude < 0 ? '\1' : '\0'));
    EXPECT_EQ(exif->Rationals(Ifd::Gps, 6), std::vector<double>{std::fabs(c.Altitude)});
    EXPECT_FALSE(exif->Text(Ifd::Gps, 0x10)) << "no direction without a heading";
  }
}

TEST(PictureMetadata, NothingKnown_NoExifAndAPlainXmpPacket) {
  const std::vector<std::string> segments = PictureApp1Segments({});
  ASSERT_EQ(segments.size(), 1u);
  EXPECT_EQ(segments[0].rfind("http://ns.adobe.com/xap/1.0/", 0), 0u);
  EXPECT_NE(segments[0].find("rdf:about=\"\""), std::string::npos);
  EXPECT_TRUE(ExifSegment({}).empty());
}

TEST(PictureMetadata, View_DirectionInXmpAndCompassHeadingInExif) {
  PictureMetadata metadata = MetadataOfRecord(FullRecord());
  metadata.Heading.reset();
  metadata.View = ViewDirection{270, true, -12.5, 75};
  const std::string xmp = PictureXmpPacket(metadata);
  for (const char* property :
       {"KorvaneView:Heading=\"270\"", "KorvaneView:HeadingReference=\"north\"",
        "KorvaneView:Pitch=\"-12.5\"", "KorvaneView:FieldOfView=\"75\""})
    EXPECT_NE(xmp.find(property), std::string::npos) << property;
  EXPECT_EQ(test::ReadExifSegment(ExifSegment(metadata))->Rationals(Ifd::Gps, 0x11),
            std::vector<double>{270});

  // A heading from the panorama's middle is no compass direction.
  metadata.View->HeadingFromNorth = false;
  EXPECT_NE(PictureXmpPacket(metadata).find("HeadingReference=\"panorama-middle\""),
            std::string::npos);
  EXPECT_FALSE(test::ReadExifSegment(ExifSegment(metadata))->Text(Ifd::Gps, 0x10));
}

// The combiner writes the record beside the task file into the panorama.
TEST(PictureMetadata, Combiner_WritesTheTasksRecord) {
  test::TempFolder folder;
  const std::string task = test::WriteCombineTask(folder.Path(), "place", test::ClassicAtZoom(1));
  WritePanoramaRecord(task, FullRecord());
  CombineRequest request;
  request.OutputPath = DefaultPanoramaPath(task);
  CombinePanorama(ReadTaskTiles(task), request);
  const auto picture = test::DecodePicture(request.OutputPath, {0});
  ASSERT_EQ(picture.App1Segments.size(), 2u);
  const auto exif = test::ReadExifSegment(picture.App1Segments[0]);
  ASSERT_TRUE(exif);
  EXPECT_NEAR(*exif->GpsDegrees(1, 2), 48.858370, 1e-7);
  EXPECT_EQ(exif->Text(Ifd::Exif, DateTimeOriginalTag), "2021:06:01 00:00:00");
  EXPECT_EQ(exif->Text(Ifd::Zero, CopyrightTag), FullRecord().Copyright);
  EXPECT_NE(picture.App1Segments[1].find("GPano:PoseHeadingDegrees=\"123.25\""), std::string::npos);
  EXPECT_NE(picture.App1Segments[1].find("GPano:ProjectionType=\"equirectangular\""),
            std::string::npos);
}

}  // namespace
}  // namespace korvane
