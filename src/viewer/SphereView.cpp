#include "viewer/SphereView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "viewer/FastAtan.h"
#include "viewer/ParallelRows.h"
#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

constexpr double Pi = std::numbers::pi;
// Frame columns between two exactly projected ones; the rest are interpolated.
constexpr int SpanPixels = 8;
// A span that moves further than this many level pixels across the panorama (near a pole) is
// projected pixel by pixel, as interpolating it would bend straight lines visibly.
constexpr double MaxSpanTravel = 24.0;
constexpr double FixedOne = 65536.0;

double Radians(double degrees) {
  return degrees * Pi / 180.0;
}

// Focal length in frame pixels: the frame's half width over tan(half the field of view).
double FocalLength(const ViewAngles& angles, int frameWidth) {
  return frameWidth / 2.0 / std::tan(Radians(angles.FieldOfView) / 2.0);
}

// The level's pixels per picture pixel.
double LevelScale(const Pyramid& pyramid, int level) {
  return static_cast<double>(pyramid.Level(level).Width) / pyramid.Width();
}

}  // namespace

ViewAngles Normalised(ViewAngles angles) {
  angles.Heading = std::fmod(angles.Heading, 360.0);
  if (angles.Heading < 0) angles.Heading += 360.0;
  if (!std::isfinite(angles.Heading)) angles.Heading = 0.0;
  angles.Pitch = std::isfinite(angles.Pitch) ? std::clamp(angles.Pitch, -MaxPitch, MaxPitch) : 0;
  angles.FieldOfView = std::isfinite(angles.FieldOfView)
                           ? std::clamp(angles.FieldOfView, MinFieldOfView, MaxFieldOfView)
                           : DefaultFieldOfView;
  return angles;
}

ViewAngles Dragged(ViewAngles angles, double dx, double dy, int frameWidth) {
  const double degreesPerPixel = angles.FieldOfView / std::max(frameWidth, 1);
  angles.Heading -= dx * degreesPerPixel;
  angles.Pitch += dy * degreesPerPixel;
  return Normalised(angles);
}

int SphereLevel(const Pyramid& pyramid, const PanoramaPlacement& placement,
                const ViewAngles& angles, int frameWidth) {
  const double framePixelsPerRadian = FocalLength(Normalised(angles), frameWidth);
  int level = pyramid.FinestLevel();
  while (level + 1 < pyramid.LevelCount() &&
         placement.FullWidth * LevelScale(pyramid, level + 1) / (2 * Pi) >= framePixelsPerRadian)
    ++level;
  return level;
}

void RenderSphere(const Pyramid& pyramid, const PanoramaPlacement& placement,
                  const ViewAngles& requested, RgbBuffer& frame) {
  if (frame.Empty()) return;
  const ViewAngles angles = Normalised(requested);
  const int level = SphereLevel(pyramid, placement, angles, frame.Width);
  const double scale = LevelScale(pyramid, level);
  RenderRectilinear(
      pyramid.Level(level),
      {placement.FullWidth * scale, placement.FullHeight * scale, placement.Left * scale,
       placement.Top * scale, pyramid.Width() >= placement.FullWidth},
      angles, frame);
}

void RenderRectilinear(const RgbBuffer& picture, const PicturePlacement& placement,
                       const ViewAngles& angles, RgbBuffer& frame) {
  if (frame.Empty() || picture.Empty()) return;
  const double fullWidth = placement.FullWidth;
  const double fullHeight = placement.FullHeight;
  const double left = placement.Left;
  const double top = placement.Top;
  const bool wraps = placement.Wraps;
  const double heading = Radians(angles.Heading);
  const double focal = FocalLength(angles, frame.Width);
  const double sinPitch = std::sin(Radians(angles.Pitch));
  const double cosPitch = std::cos(Radians(angles.Pitch));

  // The direction of frame pixel (i, j) is (x_i, y_j cos p + f sin p, f cos p - y_j sin p):
  // its first part depends on the column only, the two others on the row only. The exact
  // panorama position is worked out every SpanPixels columns and interpolated in between,
  // unless the span turns fast (near the poles), where every pixel gets its own.
  const double columnsPerRadian = fullWidth / (2 * Pi);
  const double rowsPerRadian = fullHeight / Pi;
  const int width = picture.Width, height = picture.Height;
  auto position = [&](double x, double up, double ahead, double& u, double& v) {
    u = (heading + FastAtan2(x, ahead)) * columnsPerRadian;
    if (u >= fullWidth) u -= fullWidth;
    if (u < 0) u += fullWidth;
    v = (Pi / 2 - FastAtan2(up, std::sqrt(x * x + ahead * ahead))) * rowsPerRadian;
  };
  // Level positions in 16.16 fixed point from here on: the inner loop only adds and shifts.
  const std::int64_t fixedFullWidth = std::llround(fullWidth * FixedOne);
  auto toFixed = [](double value) { return std::llround(value * FixedOne); };
  auto sample = [&](std::int64_t px, std::int64_t py, std::uint8_t* out) {
    int x0 = static_cast<int>(px >> 16);
    if (!wraps && (x0 < -1 || x0 >= width)) {
      px += x0 < 0 ? fixedFullWidth : -fixedFullWidth;
      x0 = static_cast<int>(px >> 16);
    }
    const int y = static_cast<int>(py >> 16);
    if (y < -1 || y >= height || (!wraps && (x0 < -1 || x0 >= width))) {
      out[0] = out[1] = out[2] = OutsideGrey;
      return;
    }
    const int wx = static_cast<int>((px >> 8) & 255), wy = static_cast<int>((py >> 8) & 255);
    int x1 = x0 + 1;
    if (wraps) {
      if (x0 < 0) x0 += width;
      if (x0 >= width) x0 -= width;
      x1 = x0 + 1 < width ? x0 + 1 : 0;
    } else {
      x0 = std::max(x0, 0);
      x1 = std::min(x1, width - 1);
    }
    const int y0 = std::max(y, 0), y1 = std::min(y + 1, height - 1);
    const std::uint8_t* a = picture.At(x0, y0);
    const std::uint8_t* b = picture.At(x1, y0);
    const std::uint8_t* c = picture.At(x0, y1);
    const std::uint8_t* d = picture.At(x1, y1);
    for (int k = 0; k < 3; ++k) {
      const int upper = a[k] * (256 - wx) + b[k] * wx;
      const int lower = c[k] * (256 - wx) + d[k] * wx;
      out[k] = static_cast<std::uint8_t>((upper * (256 - wy) + lower * wy + 32768) >> 16);
    }
  };
  ParallelRows(frame.Height, [&](int firstRow, int endRow) {
    for (int j = firstRow; j < endRow; ++j) {
      const double y = frame.Height / 2.0 - (j + 0.5);
      const double up = y * cosPitch + focal * sinPitch;
      const double ahead = focal * cosPitch - y * sinPitch;
      std::uint8_t* out = frame.Row(j);
      double u0 = 0, v0 = 0;
      position(0.5 - frame.Width / 2.0, up, ahead, u0, v0);
      for (int i = 0; i < frame.Width; i += SpanPixels) {
        const int span = std::min(SpanPixels, frame.Width - i);
        double u1 = 0, v1 = 0;
        position(i + span + 0.5 - frame.Width / 2.0, up, ahead, u1, v1);
        double du = u1 - u0;
        if (du > fullWidth / 2) du -= fullWidth;
        if (du < -fullWidth / 2) du += fullWidth;
        const double dv = v1 - v0;
        // Sample centres sit half a pixel in.
        const std::int64_t px0 = toFixed(u0 - left - 0.5), py0 = toFixed(v0 - top - 0.5);
        if (std::fabs(du) <= MaxSpanTravel && std::fabs(dv) <= MaxSpanTravel) {
          const std::int64_t stepX = toFixed(du / span), stepY = toFixed(dv / span);
          for (int k = 0; k < span; ++k, out += 3)
            sample(px0 + k * stepX, py0 + k * stepY, out);
        } else {
          sample(px0, py0, out);
          out += 3;
          for (int k = 1; k < span; ++k, out += 3) {
            double u = 0, v = 0;
            position(i + k + 0.5 - frame.Width / 2.0, up, ahead, u, v);
            sample(toFixed(u - left - 0.5), toFixed(v - top - 0.5), out);
          }
        }
        u0 = u1;
        v0 = v1;
      }
    }
  });
}

}  // namespace korvane::viewer
