#include "views/ViewGeometry.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace korvane {
namespace {

constexpr double Pi = std::numbers::pi;
// Frame pixels between two lattice points of NeededCells.
constexpr int LatticeStep = 8;
// libjpeg's scaled decodes, from the smallest.
constexpr int Denominators[] = {8, 4, 2, 1};

double Radians(double degrees) {
  return degrees * Pi / 180.0;
}

double PixelsPerRadian(int fullWidth) {
  return fullWidth / (2 * Pi);
}

}  // namespace

double ViewFocalLength(double fieldOfView, int width) {
  return width / 2.0 / std::tan(Radians(fieldOfView) / 2.0);
}

PanoramaPoint LookAt(const viewer::ViewAngles& angles, int width, int height, double x, double y,
                     double fullWidth, double fullHeight) {
  const double focal = ViewFocalLength(angles.FieldOfView, width);
  const double pitch = Radians(angles.Pitch);
  const double across = x - width / 2.0;
  const double above = height / 2.0 - y;
  const double up = above * std::cos(pitch) + focal * std::sin(pitch);
  const double ahead = focal * std::cos(pitch) - above * std::sin(pitch);
  double u = (Radians(angles.Heading) + std::atan2(across, ahead)) / (2 * Pi) * fullWidth;
  u = std::fmod(u, fullWidth);
  if (u < 0) u += fullWidth;
  const double v = (Pi / 2 - std::atan2(up, std::hypot(across, ahead))) / Pi * fullHeight;
  return {u, v};
}

ViewSize HonestViewSize(ViewSize asked, double fieldOfView, int fullWidth) {
  const double focal = ViewFocalLength(fieldOfView, asked.Width);
  const double available = PixelsPerRadian(fullWidth);
  if (focal <= available) return asked;
  const double scale = available / focal;
  return {std::max(1, static_cast<int>(std::floor(asked.Width * scale))),
          std::max(1, static_cast<int>(std::floor(asked.Height * scale)))};
}

int ViewDenominator(double fieldOfView, int width, int fullWidth) {
  const double focal = ViewFocalLength(fieldOfView, width);
  for (const int denominator : Denominators) {
    if (PixelsPerRadian(fullWidth) / denominator >= focal * (1 - 1e-9)) return denominator;
  }
  return 1;
}

std::vector<bool> NeededCells(const viewer::ViewAngles& angles, int width, int height,
                              int fullWidth, int fullHeight, int cell, int margin) {
  const int columns = (fullWidth + cell - 1) / cell;
  const int rows = (fullHeight + cell - 1) / cell;
  std::vector<bool> needed(static_cast<std::size_t>(columns) * rows, false);
  auto markRows = [&](double v0, double v1, double u0, double u1) {
    const int r0 = std::clamp(static_cast<int>(std::floor(v0 / cell)), 0, rows - 1);
    const int r1 = std::clamp(static_cast<int>(std::floor(v1 / cell)), 0, rows - 1);
    const bool allColumns = u1 - u0 >= fullWidth;
    for (int r = r0; r <= r1; ++r) {
      if (allColumns) {
        std::fill_n(needed.begin() + static_cast<std::ptrdiff_t>(r) * columns, columns, true);
        continue;
      }
      // Column by column from u0 to u1, across the right edge to the left one.
      for (double u = u0;; u += cell) {
        const double at = std::min(u, u1);
        double wrapped = std::fmod(at, static_cast<double>(fullWidth));
        if (wrapped < 0) wrapped += fullWidth;
        const int c = std::min(static_cast<int>(wrapped / cell), columns - 1);
        needed[static_cast<std::size_t>(r) * columns + c] = true;
        if (at >= u1) break;
      }
    }
  };
  auto markPath = [&](const PanoramaPoint& a, const PanoramaPoint& b) {
    double du = b.U - a.U;
    if (du > fullWidth / 2.0) du -= fullWidth;
    if (du < -fullWidth / 2.0) du += fullWidth;
    double v0 = std::min(a.V, b.V) - margin, v1 = std::max(a.V, b.V) + margin;
    double u0 = std::min(a.U, a.U + du) - margin, u1 = std::max(a.U, a.U + du) + margin;
    // A path that turns a quarter of the way round passes by a pole: everything up to it.
    if (std::fabs(du) > fullWidth / 4.0) {
      if (v0 + v1 < fullHeight)
        v0 = 0;
      else
        v1 = fullHeight;
      u0 = 0;
      u1 = fullWidth;
    }
    markRows(v0, v1, u0, u1);
  };
  std::vector<PanoramaPoint> previousRow, row;
  for (int y = 0;; y = std::min(y + LatticeStep, height)) {
    row.clear();
    for (int x = 0;; x = std::min(x + LatticeStep, width)) {
      row.push_back(LookAt(angles, width, height, x, y, fullWidth, fullHeight));
      if (row.size() > 1) markPath(row[row.size() - 2], row.back());
      if (!previousRow.empty()) markPath(previousRow[row.size() - 1], row.back());
      if (x == width) break;
    }
    previousRow.swap(row);
    if (y == height) break;
  }
  return needed;
}

}  // namespace korvane
