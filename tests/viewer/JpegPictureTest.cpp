#include <gtest/gtest.h>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "support/TempFolder.h"
#include "viewer/JpegPicture.h"
#include "viewer/StitchedPicture.h"
#include "viewer/TestPanoramas.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

using test::PlainJpeg;

TEST(JpegPicture, HeaderGivesSizeAndPhotoSphereValues) {
  const std::string xmp =
      R"(<rdf:Description xmlns:GPano="http://ns.google.com/photos/1.0/panorama/"
    GPano:FullPanoWidthPixels="400" GPano:FullPanoHeightPixels="200"
    GPano:CroppedAreaImageWidthPixels="120" GPano:CroppedAreaImageHeightPixels="60"
    GPano:CroppedAreaLeftPixels="10" GPano:CroppedAreaTopPixels="70"/>)";
  const JpegHeader header = ReadJpegHeader(test::WithXmp(PlainJpeg(120, 60), xmp));
  EXPECT_EQ(header.Width, 120);
  EXPECT_EQ(header.Height, 60);
  ASSERT_TRUE(header.GPano);
  EXPECT_EQ(header.GPano->CroppedTop, 70);
  EXPECT_FALSE(ReadJpegHeader(PlainJpeg(120, 60)).GPano);
}

TEST(JpegPicture, HeaderGivesThePoseHeadingWhenStated) {
  const auto heading = [](const std::string& value) {
    return ReadJpegHeader(test::WithXmp(PlainJpeg(32, 16),
                                        "<rdf:Description xmlns:GPano=\"http://ns.google.com/"
                                        "photos/1.0/panorama/\" GPano:PoseHeadingDegrees=\"" +
                                            value + "\"/>"))
        .PoseHeading;
  };
  EXPECT_EQ(heading("123.25"), 123.25);
  EXPECT_EQ(heading("+7"), 7.0);
  EXPECT_FALSE(heading("north"));
  EXPECT_FALSE(heading("inf"));
  EXPECT_FALSE(ReadJpegHeader(PlainJpeg(32, 16)).PoseHeading);
}

// A band of rows of a progressive picture, which keeps every scan's coefficients: skipping
// the rows above still gives the band's size, and rows past the end are cut.
TEST(JpegPicture, RowsOfAProgressivePicture) {
  const std::string jpeg = test::ProgressiveJpeg(320, 240);
  const RgbBuffer band = DecodeJpegRows(jpeg, 2, 50, 20);
  EXPECT_EQ(band.Width, 160);
  EXPECT_EQ(band.Height, 20);
  EXPECT_NEAR(band.At(80, 10)[1], 160, 4);
  EXPECT_EQ(DecodeJpegRows(jpeg, 1, 230, 50).Height, 10);
  EXPECT_TRUE(DecodeJpegRows(jpeg, 1, 240, 5).Empty());
}

TEST(JpegPicture, ScaledDecodeRoundsTheSizeUp) {
  const std::string jpeg = PlainJpeg(100, 60);
  const int expected[][3] = {{1, 100, 60}, {2, 50, 30}, {4, 25, 15}, {8, 13, 8}};
  for (const auto& [denominator, width, height] : expected) {
    const RgbBuffer pixels = DecodeJpeg(jpeg, denominator);
    EXPECT_EQ(pixels.Width, width) << denominator;
    EXPECT_EQ(pixels.Height, height) << denominator;
    EXPECT_NEAR(pixels.At(width / 2, height / 2)[1], 160, 3);
  }
  const std::atomic<bool> cancelled{true};
  EXPECT_TRUE(DecodeJpeg(jpeg, 1, &cancelled).Empty());
}

// Opens the bytes as a stitched panorama file and returns the message it is refused with.
std::string RefusalOf(const std::string& bytes) {
  const test::TempFolder folder;
  const std::string path = folder.Path() + "picture.jpg";
  WriteFileBytes(path, bytes);
  try {
    OpenStitchedPicture(path);
  } catch (const Exception& error) {
    return error.Message();
  }
  return "(opened)";
}

TEST(JpegPicture, BadPicturesAreRefusedWithAMessage) {
  const std::string good = test::StandinPanoramaJpeg(1);
  EXPECT_EQ(RefusalOf(good), "(opened)");
  EXPECT_EQ(RefusalOf(""), "Not a JPEG picture: the file is empty or too short.");
  EXPECT_EQ(RefusalOf("<html>Not found</html>").rfind("Not a JPEG picture: Not a JPEG file", 0),
            0u);
  EXPECT_EQ(
      RefusalOf(good.substr(0, good.size() / 2)).rfind("The picture is damaged or cut short", 0),
      0u);
  EXPECT_EQ(RefusalOf(PlainJpeg(1, 1)), "The picture is 1 x 1 pixels: too small to be a panorama.");
  // JPEG sizes stop at 65535, so the widest strip stands for every longer one.
  EXPECT_EQ(RefusalOf(PlainJpeg(65500, 1)),
            "The picture is 65500 x 1 pixels: too small to be a panorama.");
  // A header claiming a huge picture is refused before anything is allocated for it.
  EXPECT_EQ(RefusalOf(test::WithForgedSize(PlainJpeg(64, 64), 65000, 60000))
                .rfind("The picture is too big to show: 65000 x 60000 pixels", 0),
            0u);
  const test::TempFolder folder;
  EXPECT_THROW(OpenStitchedPicture(folder.Path() + "absent.jpg"), Exception);
}

// A progressive picture keeps all of its coefficients while it decodes: the cap grows with the
// picture, so a progressive 16384 x 8192 panorama fits and nothing unbounded does.
TEST(JpegPicture, WorkMemoryCoversEveryCoefficientOfThePicture) {
  struct Case {
    int Width, Height, Components;
    long Coefficients;  // what libjpeg keeps of a progressive picture, padding aside
  };
  for (const Case& test :
       {Case{16384, 8192, 3, 16384L * 8192 * 3 * 2}, Case{16384, 8192, 1, 16384L * 8192 * 2},
        Case{4097, 2049, 3, 4097L * 2049 * 3 * 2}, Case{16, 16, 3, 0}}) {
    SCOPED_TRACE(test.Width);
    const long cap = JpegWorkMemoryFor(test.Width, test.Height, test.Components);
    EXPECT_GE(cap, MaxJpegWorkMemory + test.Coefficients);
    // Padding is at most 31 pixels a side.
    EXPECT_LE(cap, MaxJpegWorkMemory + static_cast<long>(test.Width + 31) * (test.Height + 31) *
                                           test.Components * 2);
  }
}

// Over 64 MiB of coefficients (3600 x 3200 without subsampling): refused before, as libjpeg
// would have needed a backing store.
TEST(JpegPicture, AProgressivePictureBeyondTheBuffersShareOpens) {
  const std::string jpeg = test::ProgressiveJpeg(3600, 3200);
  const RgbBuffer pixels = DecodeJpeg(jpeg, 8);
  EXPECT_EQ(pixels.Width, 450);
  EXPECT_EQ(pixels.Height, 400);
}

TEST(JpegPicture, BigPictureOpensScaledAndGetsItsFullSizeAfter) {
  // 8192 wide: the first decode is at half size, enough for the first frames.
  const std::string jpeg = PlainJpeg(8192, 64);
  const test::TempFolder folder;
  WriteFileBytes(folder.Path() + "wide.jpg", jpeg);
  StitchedPicture picture = OpenStitchedPicture(folder.Path() + "wide.jpg");
  EXPECT_EQ(picture.Picture.FinestLevel(), 1);
  EXPECT_EQ(picture.Picture.Level(1).Width, 4096);
  ASSERT_TRUE(picture.NeedsFullSize());
  picture.Picture.SetFullSize(DecodeFullSize(picture, nullptr));
  EXPECT_FALSE(picture.NeedsFullSize());
  EXPECT_EQ(picture.Picture.Level(0).Width, 8192);
  EXPECT_EQ(picture.Placement.FullWidth, 8192);
  EXPECT_EQ(picture.Placement.Top, (4096 - 64) / 2);
}

}  // namespace
}  // namespace korvane::viewer
