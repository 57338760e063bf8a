#pragma once

#include <optional>
#include <string>

namespace korvane::viewer {

// Between the panorama's own angles (0 at its left edge, its middle at 180; see
// PanoramaPlacement) and headings as people give them: compass degrees when the compass heading
// of the panorama's middle is known, else degrees from its middle. Both in [0, 360).
double HeadingOfAngle(double angle, const std::optional<double>& middleHeading);
double AngleOfHeading(double heading, const std::optional<double>& middleHeading);

// The point of the compass a heading is nearest to: "N", "NE", "E", "SE", "S", "SW", "W", "NW".
std::string CompassPoint(double heading);

}  // namespace korvane::viewer
