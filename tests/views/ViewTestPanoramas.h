#pragma once

#include <array>
#include <string>

#include "RgbImage.h"

namespace korvane::test {

// Panoramas to look at through views, with what each point shows known in advance.

// A direction on the sphere: angle across the panorama (0 at its left edge, growing to the
// right) and pitch, in degrees.
struct Direction {
  double Angle = 0.0;
  double Pitch = 0.0;
};

// The colour a "sphere" panorama shows in the direction of the unit vector (x, y, z) (x towards
// angle 0, y towards angle 90, z up): 128 + 100 times each part. It varies smoothly over the
// whole sphere, across the left and right edges and over the poles alike, so any seam or
// misplaced sample shows as a jump or a wrong colour.
std::array<double, 3> SphereColour(double x, double y, double z);

// The whole width x height equirectangular panorama of SphereColour.
standin::RgbImage SpherePanorama(int width, int height);

// Writes a classic task of the zoom level (the task file and its tile folder) whose tiles are
// cut from the picture (of that zoom's classic size); returns the task file's path.
std::string WritePictureTask(const std::string& folder, const std::string& name, int zoom,
                             const standin::RgbImage& picture);

// Writes the stand-in's panorama (red heading marks every 30 degrees from the left edge) as a
// classic task of the zoom level; returns the task file's path.
std::string WriteStandinTask(const std::string& folder, const std::string& name, int zoom);

// Whether the pixel is the stand-in's heading-mark red after JPEG and resampling.
bool IsMarkRed(const std::uint8_t* pixel);

}  // namespace korvane::test
