#pragma once

#include <optional>
#include <string_view>

namespace korvane::viewer {

// Where a picture lies in its full equirectangular panorama: the panorama is FullWidth x
// FullHeight pixels (360 degrees across, 180 down) and the picture covers the rectangle whose
// top-left corner is (Left, Top), its own size across and down. Heading h degrees is panorama
// column h / 360 * FullWidth (heading 0 at the left edge, as the tiles of the service are
// laid out); pitch +90 is the top row.
struct PanoramaPlacement {
  int FullWidth = 0;
  int FullHeight = 0;
  int Left = 0;
  int Top = 0;
};

// The cropped-area values of Photo Sphere XMP (the GPano namespace) as found in a picture.
struct GPanoValues {
  int FullWidth = 0;
  int FullHeight = 0;
  int CroppedWidth = 0;
  int CroppedHeight = 0;
  int CroppedLeft = 0;
  int CroppedTop = 0;
  bool Equirectangular = true;  // ProjectionType, when stated, is "equirectangular"
};

// The GPano values of an XMP packet (the text of the JPEG's XMP APP1 segment after its
// namespace header), in either way XMP writes properties (attributes of rdf:Description or
// elements). Nothing when the packet states no full panorama size.
std::optional<GPanoValues> ParseGPano(std::string_view xmp);

// GPano PoseHeadingDegrees of an XMP packet: the compass heading at the middle of the full
// panorama, when stated as a finite number.
std::optional<double> ParsePoseHeading(std::string_view xmp);

// Where a width x height picture lies. GPano values are used when they describe that picture
// (cropped size equal to its size, the cropped area inside the full panorama); otherwise the
// picture is taken as spanning 360 degrees across, centred on the horizon, or 180 degrees down
// and centred on heading 180 when it is narrower than twice its height.
PanoramaPlacement PlacePicture(int width, int height, const std::optional<GPanoValues>& gpano);

}  // namespace korvane::viewer
