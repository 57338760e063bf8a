#pragma once

#include "viewer/Pyramid.h"
#include "viewer/RgbBuffer.h"

namespace korvane::viewer {

// What the flat view shows: the picture at Scale frame pixels per picture pixel, with picture
// point (Left, Top) at the frame's top-left corner.
struct FlatViewport {
  double Scale = 1.0;
  double Left = 0.0;
  double Top = 0.0;
};

// The whole picture in the frame, as large as fits, centred.
FlatViewport FitViewport(int pictureWidth, int pictureHeight, int frameWidth, int frameHeight);

// The viewport zoomed by factor (scale clamped to MinFlatScale..MaxFlatScale) keeping the
// picture point under frame point (x, y) in place.
FlatViewport ZoomedAround(const FlatViewport& view, double factor, double x, double y);

// One picture pixel per frame pixel, keeping the picture point at the frame point (x, y).
FlatViewport OneToOne(const FlatViewport& view, double x, double y);

// The viewport after dragging the picture by (dx, dy) frame pixels.
FlatViewport Panned(const FlatViewport& view, double dx, double dy);

// The pyramid level whose pixels come closest to the frame's without being bigger.
int FlatLevel(const Pyramid& pyramid, double scale);

// Renders the viewport into frame (nearest pixel); around the picture the frame is dark grey.
void RenderFlat(const Pyramid& pyramid, const FlatViewport& view, RgbBuffer& frame);

}  // namespace korvane::viewer
