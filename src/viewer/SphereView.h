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

// Where one picture lies in its panorama, in the picture's own pixels (a scaled decode's sizes
// are fractions of the full ones): the panorama is FullWidth x FullHeight of them, the
// picture's top-left corner lies at (Left, Top), and Wraps says the picture goes all the way
// round, its right edge joining its left one.
struct PicturePlacement {
  double FullWidth = 0.0;
  double FullHeight = 0.0;
  double Left = 0.0;
  double Top = 0.0;
  bool Wraps = false;
};

// Renders the rectilinear view as RenderSphere does, from one picture and with the angles as
// given: the caller has checked them (the saved views allow other ranges than the window).
void RenderRectilinear(const RgbBuffer& picture, const PicturePlacement& placement,
                       const ViewAngles& angles, RgbBuffer& frame);

}  // namespace korvane::viewer
