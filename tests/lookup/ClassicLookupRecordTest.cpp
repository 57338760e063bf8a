#include <gtest/gtest.h>

#include "ServiceAnswers.h"
#include "lookup/ClassicLookupRecord.h"

namespace korvane::test {
namespace {

TEST(ClassicLookupRecord, TheStandinsMetadata_WhatItsXmlHolds) {
  const PanoramaRecord record = RecordFromMetadataXml(standin::MetadataXml(48.8584, 2.2945));
  EXPECT_EQ(record.PanoId.size(), 22u);
  EXPECT_EQ(record.Protocol, PanoramaProtocol::Classic);
  EXPECT_NEAR(*record.Latitude, 48.8584, 0.001);
  EXPECT_NEAR(*record.Longitude, 2.2945, 0.001);
  EXPECT_TRUE(record.Elevation);
  EXPECT_TRUE(record.Heading);
  EXPECT_EQ(record.Tilt, 0.0);
  EXPECT_EQ(record.Copyright, "(c) Korvane stand-in service");
  EXPECT_EQ(record.AddressLines, (std::vector<std::string>{"Stand-in street", "Offline"}));
  EXPECT_EQ(record.ImageWidth, 13312);
  EXPECT_EQ(record.TileHeight, 512);
  EXPECT_FALSE(record.Date);
  EXPECT_TRUE(record.Links.empty());
}

TEST(ClassicLookupRecord, LinksDatesEntitiesAndBrokenParts) {
  const std::string xml =
      "<?xml version=\"1.0\"?><panorama><data_properties image_width=\"x\" image_height=\"-4\""
      " tile_width=\"512\" tile_height=\"512\" image_date=\"2009-06\" pano_id=\"IdOfThePanorama\""
      " lat=\"48.5\" lng=\"999\" elevation_wgs84_m=\"12.5\"><copyright>&#169; A &amp; B</copyright>"
      "<text>Rue &lt;X&gt;</text><region>Bell\x07</region><country>France</country>"
      "</data_properties><projection_properties pano_yaw_deg=\"-90\" tilt_pitch_deg=\"1.5\"/>"
      "<annotation_properties><link yaw_deg=\"45.5\" pano_id=\"NextOne\" road_argb=\"0x80\">"
      "<link_text>Rue X</link_text></link><link pano_id=\"bad/id\" yaw_deg=\"1\"/>"
      "<link yaw_deg=\"north\" pano_id=\"Other\"/></annotation_properties></panorama>";
  const PanoramaRecord record = RecordFromMetadataXml(xml);
  EXPECT_EQ(record.PanoId, "IdOfThePanorama");
  EXPECT_FALSE(record.Latitude);  // the longitude is off the globe: no position
  EXPECT_EQ(record.Elevation, 12.5);
  EXPECT_EQ(record.Heading, 270.0);
  EXPECT_EQ(record.Tilt, 1.5);
  EXPECT_EQ(record.Date, (CaptureMonth{2009, 6}));
  EXPECT_EQ(record.Copyright, "&#169; A & B");
  EXPECT_EQ(record.AddressLines, (std::vector<std::string>{"Rue <X>", "France"}));
  EXPECT_EQ(record.ImageWidth, 0);
  EXPECT_EQ(record.ImageHeight, 0);
  EXPECT_EQ(record.Links, (std::vector<PanoramaLink>{{"NextOne", 45.5}, {"Other", std::nullopt}}));
}

TEST(ClassicLookupRecord, NoPanoramaOrNoXml_AnEmptyRecord) {
  for (const std::string& xml : {standin::NoCoverageXml(), std::string(""),
                                 std::string("<data_properties"), std::string("garbage")}) {
    EXPECT_EQ(RecordFromMetadataXml(xml), PanoramaRecord{}) << xml;
  }
}

}  // namespace
}  // namespace korvane::test
