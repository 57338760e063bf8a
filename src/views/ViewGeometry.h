#pragma once

#include <vector>

#include "viewer/SphereView.h"

namespace korvane {

// A point of an equirectangular panorama FullWidth x FullHeight pixels: U across (heading 0 at
// the left edge, growing to the right, in [0, FullWidth)), V down (pitch +90 at 0).
struct PanoramaPoint {
  double U = 0.0;
  double V = 0.0;
};

// Where frame point (x, y) (pixels from the top-left corner; pixel centres at .5) of a
// width x height rectilinear view looks, for a panorama of fullWidth x fullHeight pixels. The
// angles' heading is the panorama's own (see PanoramaPlacement); the same projection as
// RenderRectilinear.
PanoramaPoint LookAt(const viewer::ViewAngles& angles, int width, int height, double x, double y,
                     double fullWidth, double fullHeight);

// The view's focal length in frame pixels: its pixels per radian at its centre.
double ViewFocalLength(double fieldOfView, int width);

// A view's size cut to what the panorama holds: no more frame pixels per radian at the view's
// centre than the panorama has (fullWidth / 2 pi), the proportions kept; the size itself when
// it fits.
struct ViewSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const ViewSize&) const = default;
};
ViewSize HonestViewSize(ViewSize asked, double fieldOfView, int fullWidth);

// The largest of libjpeg's scaled decodes (1/8, 1/4, 1/2, 1) whose panorama still has as many
// pixels per radian as the view has at its centre: the tiles are decoded at that scale.
int ViewDenominator(double fieldOfView, int width, int fullWidth);

// Which cells of a grid laid over the panorama (cell x cell pixels, columns x rows of them, row
// by row) the view samples, with `margin` pixels around each sampled point for the bilinear
// neighbours. Worked out from a lattice of frame points and the paths between neighbouring ones,
// so nothing between two points is missed, across the +-180 degree edge and over the poles.
std::vector<bool> NeededCells(const viewer::ViewAngles& angles, int width, int height,
                              int fullWidth, int fullHeight, int cell, int margin);

}  // namespace korvane
