#pragma once

#include <cmath>
#include <numbers>

namespace korvane::viewer {

// atan2 within 1e-7 radians (a thousandth of a pixel of a 16384-pixel panorama) at a fraction of
// the library's cost; the 360-degree view needs two per pixel. Polynomial of Abramowitz and
// Stegun 4.4.49 on [0, 1], folded to the whole circle.
inline double FastAtan2(double y, double x) {
  const double ax = std::fabs(x), ay = std::fabs(y);
  const double big = ax > ay ? ax : ay;
  if (big == 0.0) return 0.0;
  const double small = ax > ay ? ay : ax;
  const double t = small / big;
  const double t2 = t * t;
  double a =
      t * (1.0 + t2 * (-0.3333314528 +
                       t2 * (0.1999355085 +
                             t2 * (-0.1420889944 +
                                   t2 * (0.1065626393 +
                                         t2 * (-0.0752896400 +
                                               t2 * (0.0429096138 + t2 * (-0.0161657367 +
                                                                          t2 * 0.0028662257))))))));
  if (ay > ax) a = std::numbers::pi / 2 - a;
  if (x < 0) a = std::numbers::pi - a;
  return y < 0 ? -a : a;
}

}  // namespace korvane::viewer
