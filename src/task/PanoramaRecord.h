#pragma once

#include <optional>
#include <string>
#include <vector>

#include "task/PanoramaProtocol.h"

namespace korvane {

// A year and month of capture; the service tells no finer date.
struct CaptureMonth {
  int Year = 0;
  int Month = 0;  // 1..12
  bool operator==(const CaptureMonth&) const = default;
};

// A neighbouring panorama the service links to, and the compass bearing (degrees clockwise
// from north) one walks to reach it, when the answer gives one.
struct PanoramaLink {
  std::string PanoId;
  std::optional<double> Bearing;
  bool operator==(const PanoramaLink&) const = default;
};

// Another capture at the same place (the same street corner in another year).
struct OtherCapture {
  std::string PanoId;
  std::optional<CaptureMonth> Date;
  bool operator==(const OtherCapture&) const = default;
};

// Everything a lookup learned of one panorama, whichever protocol answered. Every field is
// optional: a protocol fills what its answer carries, and a value is kept only once checked
// (a position on the globe, angles that are finite numbers, printable texts of bounded length,
// ids the tile addresses accept). The record is written beside the task file as "<task>.json"
// and read back by the combiner, the viewer and korvane-cli.
struct PanoramaRecord {
  std::string PanoId;
  std::optional<PanoramaProtocol> Protocol;
  // Where the camera stood (not the point typed: the lookup searches around it).
  std::optional<double> Latitude;
  std::optional<double> Longitude;
  std::optional<double> Elevation;  // metres, as the service gives it
  // The camera's orientation in degrees: heading clockwise from north (the direction at the
  // middle of the stitched picture), tilt up from the horizon, roll clockwise.
  std::optional<double> Heading;
  std::optional<double> Tilt;
  std::optional<double> Roll;
  std::optional<CaptureMonth> Date;
  std::string Copyright;                  // the line the service asks to show with the picture
  std::vector<std::string> AddressLines;  // empty when the answer names no address
  std::vector<PanoramaLink> Links;
  std::vector<OtherCapture> OtherDates;
  // The full picture and its tiles, in pixels (0 when not known).
  int ImageWidth = 0;
  int ImageHeight = 0;
  int TileWidth = 0;
  int TileHeight = 0;

  bool operator==(const PanoramaRecord&) const = default;
};

}  // namespace korvane
