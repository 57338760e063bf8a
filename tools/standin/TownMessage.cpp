#include "TownMessage.h"

#include "PanoramaMessage.h"

namespace korvane::standin {
namespace {

// The town lies by a lake at this height; its cars drive level.
constexpr double TownElevationMetres = 408.0;

PlacedPanorama PlacedOf(const PanoramaRecord& capture) {
  PlacedPanorama placed;
  placed.PanoId = capture.PanoId;
  placed.Latitude = capture.Latitude.value_or(0);
  placed.Longitude = capture.Longitude.value_or(0);
  placed.Elevation = TownElevationMetres;
  placed.Heading = capture.Heading.value_or(0);
  return placed;
}

std::pair<int, int> DateOf(const std::optional<CaptureMonth>& date) {
  return date ? std::make_pair(date->Year, date->Month) : std::make_pair(0, 0);
}

}  // namespace

nlohmann::json TownPanoramaMessage(const StreetNetwork& town, const PanoramaRecord& capture) {
  MessageParts parts;
  parts.Self = PlacedOf(capture);
  parts.Shape = ShapeOf(TownPanoramaSize);
  parts.Date = DateOf(capture.Date);
  for (const PanoramaLink& link : capture.Links)
    if (const PanoramaRecord* neighbour = town.ById(link.PanoId))
      parts.Links.emplace_back(PlacedOf(*neighbour), link.Bearing.value_or(0));
  for (const OtherCapture& other : capture.OtherDates)
    if (const PanoramaRecord* older = town.ById(other.PanoId))
      parts.OtherDates.emplace_back(PlacedOf(*older), DateOf(other.Date));
  return PanoramaMessage(parts);
}

}  // namespace korvane::standin
