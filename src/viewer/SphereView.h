#pragma once

#include "viewer/PanoramaPlacement.h"
#include "viewer/Pyramid.h"
#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

// Where the 360-degree view looks, in degrees: heading 0 to 360 (see PanoramaPlacement),
// pitch -90 (down) to +90 (up), and the field of view across the frame's width.
struct ViewAngles {
  double Heading = 0.0;
  double Pitch = 0.0;
  double FieldOfView = 90.0;
};

// Heading brought into [0, 360), pitch and field of view into their ranges.
ViewAngles Normalised(ViewAngles angles);

// The angles after dragging the picture by (dx, dy) frame pixels in a frame frameWidth wide:
// the point under the pointer stays under it, near enough.
ViewAngles Dragged(ViewAngles angles, double dx, double dy, int frameWidth);

// The pyramid level a frameWidth-wide view samples: the coarsest whose pixels are no bigger
// than the frame's at its centre, or the finest present when even that is too coarse.
int SphereLevel(const Pyramid& pyramid, const PanoramaPlacement& placement,
                const ViewAngles& angles, int frameWidth);

// Renders the rectilinear view of the panorama into frame (its size is the frame's size),
// bilinear sampling, one band of rows per processor. What the picture does not cover is dark
// grey (OutsideGrey).
void RenderSphere(const Pyramid& pyramid, const PanoramaPlacement& placement,
                  const ViewAngles& angles, RgbBuffer& frame);

}  // namespace korvane::viewer
