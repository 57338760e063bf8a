#pragma once

#include <cstdio>
#include <functional>
#include <set>
#include <string>

#include "StreetNetwork.h"
#include "discover/Walks.h"

namespace korvane::test {

// The ids of the town's places whose position (metres east and north of its origin) passes.
inline std::set<std::string> TownPlacesWhere(
    const std::function<bool(double east, double north)>& wanted) {
  const LocalFrame frame(standin::StreetNetwork::Origin);
  std::set<std::string> ids;
  for (const PanoramaRecord* place : standin::StreetNetwork::Town().Places()) {
    const LocalFrame::Metres at = frame.ToMetres({*place->Latitude, *place->Longitude});
    if (wanted(at.East, at.North)) ids.insert(place->PanoId);
  }
  return ids;
}

inline std::set<std::string> IdsOf(const FoundPanoramas& found) {
  std::set<std::string> ids;
  for (const PanoramaRecord& record : found)
    ids.insert(record.PanoId);
  return ids;
}

inline std::string Degrees(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.8f", value);
  return text;
}

// A ring of the town's metres, closed, as GeoJSON positions "[lon,lat],...".
inline std::string RingJson(double west, double south, double east, double north) {
  std::string text = "[";
  const double corners[5][2] = {
      {west, south}, {east, south}, {east, north}, {west, north}, {west, south}};
  for (int i = 0; i < 5; ++i) {
    const GeoPoint point = standin::StreetNetwork::At(corners[i][0], corners[i][1]);
    text += (i ? "," : "") + std::string("[") + Degrees(point.Longitude) + "," +
            Degrees(point.Latitude) + "]";
  }
  return text + "]";
}

}  // namespace korvane::test
