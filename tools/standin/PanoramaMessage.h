#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "PanoramaId.h"
#include "PanoramaSizes.h"

// The current protocol's panorama message M, laid out as the real service lays it out so that
// clients written against the real service read it: the panorama's id, sizes, address,
// copyright, camera position and orientation, the panoramas around it (itself first, then its
// neighbours in the four cells beside its own, then its other captures), the links to the
// neighbours with their bearings, the dates of the other captures and its own date.
namespace korvane::standin {

// The year and month a capture of a cell was taken; capture 0 is the newest.
std::pair<int, int> CaptureDateOf(const PanoramaCell& cell, int capture);

// Whether the cell's answers leave out all but the parts a download needs (id, sizes,
// position, date): no address, copyright, orientation, full size, panoramas around, links or
// other dates, as real answers sometimes do. About one cell in eight.
bool IsAnsweredInPart(const PanoramaCell& cell);

// The centre of the first cell walking east from the point's whose answers are in part
// (answeredInPart) or whole (!answeredInPart); nothing when the point has no coverage.
std::optional<std::pair<double, double>> PointAnswered(bool answeredInPart, double latitude,
                                                       double longitude);

// Where a panorama stands and how its camera was turned: each entry of the panoramas around
// is laid out from one, the panorama's own placement too.
struct PlacedPanorama {
  std::string PanoId;
  double Latitude = 0;
  double Longitude = 0;
  double Elevation = 0;
  double Heading = 0;
  double Tilt = 0;  // degrees above the horizon
  double Roll = 0;
};

// What M tells of one panorama, whichever of the stand-in's panoramas it is.
struct MessageParts {
  PlacedPanorama Self;
  PanoramaShape Shape;
  std::pair<int, int> Date;  // year, month
  // false: the parts a download needs only (no address, copyright, orientation, full size,
  // panoramas around, links or other dates).
  bool Whole = true;
  std::vector<std::pair<PlacedPanorama, double>> Links;  // neighbour, bearing in degrees
  std::vector<std::pair<PlacedPanorama, std::pair<int, int>>> OtherDates;  // capture, its date
};

// M laid out from its parts.
nlohmann::json PanoramaMessage(const MessageParts& parts);

// M for one capture of a cell.
nlohmann::json PanoramaMessage(const PanoramaCell& cell, int capture);

}  // namespace korvane::standin
