#pragma once

#include <string>

namespace korvane {

// What makes photo services and panorama viewers show a picture as a 360-degree panorama.
struct PanoramaXmpFacts {
  int FullWidth = 0;  // the whole sphere, in pixels
  int FullHeight = 0;
  int CroppedWidth = 0;  // the part the picture holds, from CroppedLeft / CroppedTop
  int CroppedHeight = 0;
  int CroppedLeft = 0;
  int CroppedTop = 0;
  std::string CaptureDate;  // an XMP date ("YYYY-MM" ...); left out when empty
};

// The XMP packet (GPano namespace: equirectangular projection, panorama viewer on, full and
// cropped-area sizes, first photo date) for the picture's APP1 segment. Written by hand: the
// packet is a dozen fixed attributes, and a metadata library would be a dependency for that
// alone. The date must already be a checked date text; it is inserted as it is.
std::string PanoramaXmpPacket(const PanoramaXmpFacts& facts);

}  // namespace korvane
