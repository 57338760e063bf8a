#include <gtest/gtest.h>

#include "viewer/PanoramaPlacement.h"

namespace korvane::viewer {
namespace {

constexpr const char* AttributePacket = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/">
 <rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#">
  <rdf:Description rdf:about="" xmlns:GPano="http://ns.google.com/photos/1.0/panorama/"
    GPano:ProjectionType="equirectangular" GPano:UsePanoramaViewer="True"
    GPano:FullPanoWidthPixels="8000" GPano:FullPanoHeightPixels="4000"
    GPano:CroppedAreaImageWidthPixels="8000" GPano:CroppedAreaImageHeightPixels="2000"
    GPano:CroppedAreaLeftPixels="0" GPano:CroppedAreaTopPixels="1200"/>
 </rdf:RDF>
</x:xmpmeta>)";

constexpr const char* ElementPacket =
    R"(<rdf:Description xmlns:pano="http://ns.google.com/photos/1.0/panorama/">
  <pano:ProjectionType>equirectangular</pano:ProjectionType>
  <pano:FullPanoWidthPixels>6000</pano:FullPanoWidthPixels>
  <pano:FullPanoHeightPixels>3000</pano:FullPanoHeightPixels>
  <pano:CroppedAreaImageWidthPixels>1500</pano:CroppedAreaImageWidthPixels>
  <pano:CroppedAreaImageHeightPixels>1000</pano:CroppedAreaImageHeightPixels>
  <pano:CroppedAreaLeftPixels>4000</pano:CroppedAreaLeftPixels>
  <pano:CroppedAreaTopPixels>500</pano:CroppedAreaTopPixels>
</rdf:Description>)";

TEST(Placement, GPanoReadInBothWaysXmpWritesProperties) {
  const auto attributes = ParseGPano(AttributePacket);
  ASSERT_TRUE(attributes);
  EXPECT_EQ(attributes->FullWidth, 8000);
  EXPECT_EQ(attributes->CroppedHeight, 2000);
  EXPECT_EQ(attributes->CroppedTop, 1200);
  EXPECT_TRUE(attributes->Equirectangular);

  const auto elements = ParseGPano(ElementPacket);  // and a prefix other than GPano
  ASSERT_TRUE(elements);
  EXPECT_EQ(elements->FullHeight, 3000);
  EXPECT_EQ(elements->CroppedWidth, 1500);
  EXPECT_EQ(elements->CroppedLeft, 4000);

  EXPECT_FALSE(ParseGPano("<x:xmpmeta>no panorama here</x:xmpmeta>"));
  EXPECT_FALSE(ParseGPano(R"(GPano:FullPanoWidthPixels="wide" GPano:FullPanoHeightPixels="1")"));
}

TEST(Placement, CroppedPictureGoesWhereItsGPanoValuesSay) {
  const PanoramaPlacement placed = PlacePicture(8000, 2000, ParseGPano(AttributePacket));
  EXPECT_EQ(placed.FullWidth, 8000);
  EXPECT_EQ(placed.FullHeight, 4000);
  EXPECT_EQ(placed.Left, 0);
  EXPECT_EQ(placed.Top, 1200);
  const PanoramaPlacement part = PlacePicture(1500, 1000, ParseGPano(ElementPacket));
  EXPECT_EQ(part.Left, 4000);
  EXPECT_EQ(part.Top, 500);
}

TEST(Placement, ValuesThatDoNotFitThePictureAreNotTrusted) {
  // Another size than the XMP describes (the picture was scaled or replaced): whole panorama.
  const PanoramaPlacement scaled = PlacePicture(4000, 2000, ParseGPano(AttributePacket));
  EXPECT_EQ(scaled.FullWidth, 4000);
  EXPECT_EQ(scaled.FullHeight, 2000);
  EXPECT_EQ(scaled.Top, 0);
  // A cropped area reaching out of the full panorama.
  GPanoValues outside{1000, 500, 600, 500, 500, 0, true};
  EXPECT_EQ(PlacePicture(600, 500, outside).FullWidth, 1000);  // 2 x height: centred instead
  EXPECT_EQ(PlacePicture(600, 500, outside).Left, 200);
  GPanoValues cylinder{1000, 500, 1000, 500, 0, 0, false};
  EXPECT_EQ(PlacePicture(1000, 300, cylinder).Top, 100);
}

TEST(Placement, PictureWithoutValuesSpansTheWholeCircleCentredOnTheHorizon) {
  const PanoramaPlacement wide = PlacePicture(4000, 1000, std::nullopt);
  EXPECT_EQ(wide.FullWidth, 4000);
  EXPECT_EQ(wide.FullHeight, 2000);
  EXPECT_EQ(wide.Top, 500);
  const PanoramaPlacement narrow = PlacePicture(1000, 1000, std::nullopt);
  EXPECT_EQ(narrow.FullWidth, 2000);
  EXPECT_EQ(narrow.Left, 500);
}

}  // namespace
}  // namespace korvane::viewer
