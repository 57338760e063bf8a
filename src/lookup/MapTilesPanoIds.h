#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"

namespace korvane {

// The most locations one panoIds request of the Map Tiles API may ask about.
inline constexpr std::size_t MaxPanoIdsLocations = 100;

// A point as decimal degrees: latitude, longitude.
using GeoPoint = std::pair<double, double>;

// The body of a panoIds request for the points (at most MaxPanoIdsLocations), each searched
// within MapTilesSearchRadius: {"locations":[{"lat":..,"lng":..}...],"radius":50}.
std::string PanoIdsRequestBody(const std::vector<GeoPoint>& points);

// The ids of a panoIds answer {"panoIds":[...]}, one per location asked about, "" where there
// is none (or the id is not one the program accepts); nothing when the answer is no such object
// or does not hold exactly `count` entries.
std::optional<std::vector<std::string>> ParsePanoIdsAnswer(std::string_view body,
                                                           std::size_t count);

// The panoramas of up to MaxPanoIdsLocations points with one panoIds request through access
// (prepared as a lookup's client, repeated by the current lookup's table). Nothing when the
// request gave up or was refused (its lines went to addLogLine).
std::optional<std::vector<std::string>> LookUpPanoIds(
    MapTilesAccess& access, HttpClient& client, const std::vector<GeoPoint>& points,
    const std::function<void(const std::string&)>& addLogLine);

}  // namespace korvane
