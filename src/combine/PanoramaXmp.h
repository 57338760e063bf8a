#pragma once

#include <string>

#include "combine/PictureMetadata.h"

namespace korvane {

// The XMP packet for the picture's APP1 segment: for a panorama the GPano cropped-area facts
// (equirectangular projection, panorama viewer on, full and cropped-area sizes, first photo
// date); the camera's pose (GPano PoseHeadingDegrees, PosePitchDegrees, PoseRollDegrees); for
// a view its direction (KorvaneView: Heading, HeadingReference, Pitch, FieldOfView); the
// capture month as exif:DateTimeOriginal "YYYY-MM" (XMP dates may stop at the month, which is
// how the month precision is told); the copyright line as dc:rights. Written by hand: the
// packet is a few fixed properties, and a metadata library would be a dependency for that
// alone. The panorama's CaptureDate must already be a checked date text; the copyright line is
// escaped.
std::string PictureXmpPacket(const PictureMetadata& metadata);

// The namespace of a view's direction.
inline constexpr char KorvaneViewNamespace[] = "http://ns.korvane.org/view/1.0/";

}  // namespace korvane
