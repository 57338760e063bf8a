#pragma once

namespace korvane {

// Longitudes run from -180 to 180 degrees wherever one is checked.
inline constexpr double MaxLongitude = 180;

// Two latitude bounds for two different questions:
// what a user may type to start a task, the band the start's refusal names ("Latitude should
// be between -85 and 85.");
inline constexpr double MaxStartLatitude = 85;
// and where a lookup answer may place a panorama: anywhere on the globe. The answer's position
// is the service's, so it is only checked for being a position at all.
inline constexpr double MaxAnsweredLatitude = 90;

}  // namespace korvane
