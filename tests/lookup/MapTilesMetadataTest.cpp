#include <gtest/gtest.h>

#include <string>

#include "lookup/MapTilesMetadata.h"

namespace korvane {
namespace {

const std::string Whole = R"({
  "panoId": "nYsmEIpom2O4F-X3e3zzpn",
  "lat": 48.85847, "lng": 2.29417,
  "imageWidth": 16384, "imageHeight": 8192, "tileWidth": 512, "tileHeight": 512,
  "heading": 93.5, "tilt": 90.1, "roll": -0.4,
  "imageryType": "outdoor", "date": "2019-07", "copyright": "From the owner",
  "links": [{"panoId": "left_ID-1", "heading": 270, "text": "Rue"},
            {"panoId": "bad id!", "heading": 90},
            {"panoId": "right_ID-2"}]
})";

TEST(MapTilesMetadata, AWholeAnswerFillsTheLookupAndTheRecord) {
  const MapTilesMetadata metadata = ParseMapTilesMetadata(Whole);
  const CurrentLookupAnswer& answer = metadata.Answer;
  ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << answer.Problem;
  EXPECT_EQ(answer.PanoId, "nYsmEIpom2O4F-X3e3zzpn");
  ASSERT_EQ(answer.HighestZoom(), 5);
  EXPECT_EQ(answer.Sizes[0], (PixelSize{512, 256}));
  EXPECT_EQ(answer.Sizes[3], (PixelSize{4096, 2048}));
  EXPECT_EQ(answer.Sizes[5], (PixelSize{16384, 8192}));
  EXPECT_EQ(answer.CaptureDate, "2019-07");

  const PanoramaRecord& record = metadata.Record;
  EXPECT_EQ(record.Protocol, PanoramaProtocol::MapTiles);
  EXPECT_EQ(record.Latitude, 48.85847);
  EXPECT_EQ(record.Heading, 93.5);
  EXPECT_EQ(record.Tilt, 90.1);
  EXPECT_EQ(record.Roll, -0.4);
  EXPECT_EQ(record.Date, (CaptureMonth{2019, 7}));
  EXPECT_EQ(record.Copyright, "From the owner");
  EXPECT_EQ(record.ImageWidth, 16384);
  ASSERT_EQ(record.Links.size(), 2u);  // the id that is none is dropped
  EXPECT_EQ(record.Links[0], (PanoramaLink{"left_ID-1", 270.0}));
  EXPECT_EQ(record.Links[1], (PanoramaLink{"right_ID-2", std::nullopt}));
}

struct SizeCase {
  int Width;
  int Height;
  int HighestZoom;
  PixelSize AtZoomThree;
};

TEST(MapTilesMetadata, TheHighestZoomIsTheFirstWhoseTilesCoverThePicture) {
  for (const SizeCase& c :
       {SizeCase{13312, 6656, 5, {3328, 1664}}, SizeCase{3328, 1664, 3, {3328, 1664}},
        SizeCase{8192, 4096, 4, {4096, 2048}}}) {
    const std::string body = R"({"panoId":"p","tileWidth":512,"tileHeight":512,"imageWidth":)" +
                             std::to_string(c.Width) + R"(,"imageHeight":)" +
                             std::to_string(c.Height) + "}";
    const CurrentLookupAnswer answer = ParseMapTilesMetadata(body).Answer;
    ASSERT_EQ(answer.Kind, LookupAnswerKind::Found) << c.Width;
    EXPECT_EQ(answer.HighestZoom(), c.HighestZoom) << c.Width;
    EXPECT_EQ(answer.Sizes[3], c.AtZoomThree) << c.Width;
  }
}

TEST(MapTilesMetadata, WhatTheDownloadCannotUseIsUnreadable) {
  const char* bodies[] = {
      "",
      "[]",
      R"({"panoId":"x/../y","imageWidth":512,"imageHeight":256,"tileWidth":512,"tileHeight":512})",
      R"({"panoId":"p","imageWidth":512,"imageHeight":256,"tileWidth":256,"tileHeight":256})",
      R"({"panoId":"p","imageWidth":0,"imageHeight":256,"tileWidth":512,"tileHeight":512})",
      R"({"panoId":"p","imageWidth":1e12,"imageHeight":256,"tileWidth":512,"tileHeight":512})",
      R"({"panoId":"p","imageWidth":"512","imageHeight":256,"tileWidth":512,"tileHeight":512})",
  };
  for (const char* body : bodies) {
    const MapTilesMetadata metadata = ParseMapTilesMetadata(body);
    EXPECT_EQ(metadata.Answer.Kind, LookupAnswerKind::Unreadable) << body;
    EXPECT_FALSE(metadata.Answer.Problem.empty()) << body;
  }
}

TEST(MapTilesMetadata, DoubtfulPartsAreLeftOutNotTrusted) {
  const MapTilesMetadata metadata = ParseMapTilesMetadata(
      R"({"panoId":"p","imageWidth":512,"imageHeight":256,"tileWidth":512,"tileHeight":512,)"
      R"("lat":95,"lng":2,"heading":"north","date":"2019-13","copyright":"a\u0007b"})");
  ASSERT_EQ(metadata.Answer.Kind, LookupAnswerKind::Found);
  EXPECT_FALSE(metadata.Record.Latitude);
  EXPECT_FALSE(metadata.Record.Heading);
  EXPECT_FALSE(metadata.Record.Date);
  EXPECT_EQ(metadata.Answer.CaptureDate, "");
  EXPECT_EQ(metadata.Record.Copyright.find('\a'), std::string::npos);
}

}  // namespace
}  // namespace korvane
