#include "viewer/Compass.h"

#include <cmath>

namespace korvane::viewer {
namespace {

constexpr double MiddleAngle = 180.0;

double Wrapped(double degrees) {
  double wrapped = std::fmod(degrees, 360.0);
  if (wrapped < 0) wrapped += 360.0;
  return wrapped >= 360.0 ? 0.0 : wrapped;
}

}  // namespace

double HeadingOfAngle(double angle, const std::optional<double>& middleHeading) {
  return Wrapped(angle - MiddleAngle + middleHeading.value_or(0.0));
}

double AngleOfHeading(double heading, const std::optional<double>& middleHeading) {
  return Wrapped(heading - middleHeading.value_or(0.0) + MiddleAngle);
}

std::string CompassPoint(double heading) {
  static const char* const points[] = {"N", "NE", "E", "SE", "S", "SW", "W", "NW"};
  return points[static_cast<int>(std::floor(Wrapped(heading) / 45.0 + 0.5)) % 8];
}

}  // namespace korvane::viewer
