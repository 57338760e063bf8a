#pragma once

#include <optional>
#include <string>

#include "views/ViewGeometry.h"
#include "views/ViewSet.h"

namespace korvane {

// The values of the view options of mosaicker and korvane-cli, checked; each nothing when the
// text is not one, and the reason to print then.

// --view HEADING,PITCH,FOV: finite degrees, pitch from -90 to 90, field of view from 10 to 120.
struct ViewAnglesArgument {
  double Heading = 0.0;
  double Pitch = 0.0;
  double FieldOfView = DefaultViewFieldOfView;
};
std::optional<ViewAnglesArgument> ParseViewAnglesArgument(const std::string& text);
std::string ViewAnglesProblem();

// --size WIDTHxHEIGHT, each side from MinViewSide to MaxViewSide.
std::optional<ViewSize> ParseViewSizeArgument(const std::string& text);
std::string ViewSizeProblem();

// --views N, from 1 to MaxViewsAround.
std::optional<int> ParseViewCountArgument(const std::string& text);
std::string ViewCountProblem();

}  // namespace korvane
