#pragma once

#include <string>

#include "combine/PictureMetadata.h"

namespace korvane {

// The EXIF APP1 content ("Exif\0\0" and a little-endian TIFF structure) for the metadata's
// place and time: IFD0 with Copyright, the Exif IFD with ExifVersion and DateTimeOriginal (the
// capture month's first day, midnight), the GPS IFD with latitude, longitude, altitude and the
// image direction (the view's, or the panorama's middle, when north is known). Empty when the
// metadata has none of them. Written by hand for the same reason as the XMP: a dozen tags.
std::string ExifSegment(const PictureMetadata& metadata);

inline constexpr char ExifSegmentSignature[] = "Exif\0";  // with its terminator: "Exif\0\0"

}  // namespace korvane
