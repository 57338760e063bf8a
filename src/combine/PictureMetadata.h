#pragma once

#include <optional>
#include <string>
#include <vector>

#include "task/PanoramaRecord.h"

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

// Which way an ordinary picture saved out of a panorama looks, in degrees.
struct ViewDirection {
  // Clockwise from north when the panorama's heading is known, else from the middle of the
  // stitched panorama.
  double Heading = 0.0;
  bool HeadingFromNorth = false;
  double Pitch = 0.0;         // up positive
  double FieldOfView = 90.0;  // across the picture's width
};

// What a picture Korvane makes tells about itself: whether it is a panorama or a view out of
// one, and what the lookup learned of the place (each part written only when known).
struct PictureMetadata {
  std::optional<PanoramaXmpFacts> Panorama;
  std::optional<ViewDirection> View;
  // The camera's orientation at the panorama's middle: heading clockwise from north, pitch up,
  // roll clockwise (degrees).
  std::optional<double> Heading;
  std::optional<double> Pitch;
  std::optional<double> Roll;
  std::optional<double> Latitude;  // degrees WGS84
  std::optional<double> Longitude;
  std::optional<double> Altitude;  // metres
  std::optional<CaptureMonth> Date;
  std::string Copyright;
};

// The record's pose, position, date and copyright line.
PictureMetadata MetadataOfRecord(const PanoramaRecord& record);

// The contents of the APP1 segments the picture carries, each starting with its identifier
// ("Exif\0\0", then the XMP one), in the order they follow the start marker: EXIF (when there is
// a position, a date, a copyright line or a view direction), then XMP (always). Values are
// written as the record checked them (finite angles, a position on the globe, printable text).
std::vector<std::string> PictureApp1Segments(const PictureMetadata& metadata);

// The largest APP1 segment content a JPEG can carry (the length field counts itself).
inline constexpr std::size_t MaxApp1Bytes = 65533;

}  // namespace korvane
