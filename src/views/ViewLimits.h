#pragma once

#include <cstddef>

// Every limit and default of the saved views in one place.
namespace korvane {

// The horizontal field of view a saved view may have, in degrees: below 10 a view is a crop
// of a few tiles, beyond 120 a rectilinear picture stretches its edges out of all proportion.
inline constexpr double MinViewFieldOfView = 10.0;
inline constexpr double MaxViewFieldOfView = 120.0;
inline constexpr double MaxViewPitch = 90.0;

// A view's sides in pixels.
inline constexpr int MinViewSide = 16;
inline constexpr int MaxViewSide = 8192;
inline constexpr int DefaultViewWidth = 1024;
inline constexpr int DefaultViewHeight = 768;
inline constexpr int DefaultCubeSide = 1024;
inline constexpr double DefaultViewFieldOfView = 90.0;

// --views N: at most one view per 10 degrees of the horizon.
inline constexpr int MaxViewsAround = 36;

inline constexpr int DefaultViewQuality = 90;

// The largest stitched panorama file a view is made from (a zoom-5 panorama is some tens of
// MiB); a bigger one is refused before it is read.
inline constexpr std::size_t MaxStitchedFileBytes = 512ull * 1024 * 1024;

}  // namespace korvane
