#include "combine/PictureMetadata.h"

#include "combine/ExifSegment.h"
#include "combine/JpegStreamWriter.h"
#include "combine/PanoramaXmp.h"

namespace korvane {

PictureMetadata MetadataOfRecord(const PanoramaRecord& record) {
  PictureMetadata metadata;
  metadata.Heading = record.Heading;
  metadata.Pitch = record.Tilt;
  metadata.Roll = record.Roll;
  if (record.Latitude && record.Longitude) {
    metadata.Latitude = record.Latitude;
    metadata.Longitude = record.Longitude;
    metadata.Altitude = record.Elevation;
  }
  metadata.Date = record.Date;
  metadata.Copyright = record.Copyright;
  return metadata;
}

std::vector<std::string> PictureApp1Segments(const PictureMetadata& metadata) {
  std::vector<std::string> segments;
  std::string exif = ExifSegment(metadata);
  if (!exif.empty() && exif.size() <= MaxApp1Bytes) segments.push_back(std::move(exif));
  std::string xmp =
      std::string(XmpSegmentSignature, sizeof XmpSegmentSignature) + PictureXmpPacket(metadata);
  if (xmp.size() <= MaxApp1Bytes) segments.push_back(std::move(xmp));
  return segments;
}

}  // namespace korvane
