#include "task/PanoramaRecordText.h"

#include <cstdio>

#include "task/PanoramaRecordFile.h"

namespace korvane {
namespace {

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

std::string Degrees(double value) {
  return Fixed(value, 2) + " degrees";
}

}  // namespace

std::string PanoramaRecordText(const PanoramaRecord& unchecked) {
  const PanoramaRecord record = CheckedPanoramaRecord(unchecked);
  std::string text;
  const auto line = [&text](const std::string& name, const std::string& value) {
    text += name + ": " + value + "\n";
  };
  if (!record.PanoId.empty()) line("Panorama", record.PanoId);
  if (record.Protocol) line("Protocol", ProtocolName(*record.Protocol));
  if (record.Latitude && record.Longitude)
    line("Position", Fixed(*record.Latitude, 6) + ", " + Fixed(*record.Longitude, 6));
  if (record.Elevation) line("Elevation", Fixed(*record.Elevation, 1) + " m");
  if (record.Heading) line("Heading", Degrees(*record.Heading));
  if (record.Tilt) line("Tilt", Degrees(*record.Tilt));
  if (record.Roll) line("Roll", Degrees(*record.Roll));
  if (record.Date) line("Taken", CaptureMonthText(*record.Date));
  if (!record.Copyright.empty()) line("Copyright", record.Copyright);
  for (const std::string& address : record.AddressLines)
    line("Address", address);
  for (const PanoramaLink& link : record.Links)
    line("Link", link.PanoId + (link.Bearing ? ", bearing " + Degrees(*link.Bearing) : ""));
  for (const OtherCapture& capture : record.OtherDates)
    line("Other date",
         (capture.Date ? CaptureMonthText(*capture.Date) : "unknown") + ", " + capture.PanoId);
  if (record.ImageWidth > 0 && record.ImageHeight > 0) {
    std::string size =
        std::to_string(record.ImageWidth) + " x " + std::to_string(record.ImageHeight);
    if (record.TileWidth > 0 && record.TileHeight > 0)
      size +=
          ", tiles " + std::to_string(record.TileWidth) + " x " + std::to_string(record.TileHeight);
    line("Size", size);
  }
  return text;
}

}  // namespace korvane
