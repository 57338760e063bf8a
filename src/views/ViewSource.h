#pragma once

#include <optional>
#include <string>

#include "combine/TaskTiles.h"
#include "task/PanoramaRecord.h"
#include "viewer/PanoramaPlacement.h"
#include "viewer/RgbBuffer.h"
#include "viewer/SphereView.h"

namespace korvane {

// A panorama views are made from: a task's tiles ("<task>.krvn") or a stitched JPEG, with what
// is known of its place and which way north lies.
struct ViewSource {
  std::string Path;
  std::optional<TaskTiles> Task;  // a task file
  std::string PictureBytes;       // a stitched JPEG's file
  // The full panorama's size and where the stitched picture lies in it (a task's tiles cover
  // it all).
  viewer::PanoramaPlacement Placement;
  int PictureWidth = 0;
  int PictureHeight = 0;
  std::optional<PanoramaRecord> Record;
  // The compass heading at the middle of the full panorama, when known: from the record, else
  // from the picture's own GPano PoseHeadingDegrees.
  std::optional<double> MiddleHeading;
};

// What is known of the place of a panorama the viewer or the views are given: a task file
// (the record beside it, "<task>.json"), a tile folder (the task file beside it, and its
// record), or a stitched JPEG (the record beside it with the same base name, else the heading
// its XMP states as GPano PoseHeadingDegrees).
struct PlaceFacts {
  std::optional<PanoramaRecord> Record;
  std::optional<double> MiddleHeading;  // the compass heading at the panorama's middle
  // What views are made from: the task file or the JPEG; empty for a folder without a task.
  std::string SourcePath;
};
PlaceFacts ReadPlaceFacts(const std::string& path);

// Opens a task file (".krvn": its record beside it, "<task>.json") or a stitched JPEG (the
// record beside it with the same base name, else the heading its XMP states). Raises
// Exception with a one-line message when the file cannot be read, the task describes no
// panorama or the picture is no JPEG, too small or too big.
ViewSource OpenViewSource(const std::string& path);

// The view's heading as the panorama's own angle (0 at its left edge): a compass heading when
// the panorama's middle heading is known, else degrees from its middle.
double PanoramaAngle(const ViewSource& source, double heading);

// A view rendered out of a source, and what it took.
struct MadeView {
  viewer::RgbBuffer Pixels;
  int TilesRead = 0;     // from a task
  int MissingTiles = 0;  // tiles of a task that are missing or do not decode: grey
  int RowsDecoded = 0;   // from a stitched JPEG, at the scale decoded
  int Denominator = 1;   // the scale the tiles or the picture were decoded at
};

// Renders a width x height rectilinear view (angles in the panorama's own heading, checked by
// the caller) from the source: of a task only the tiles the view samples, decoded at the scale
// that matches the view (ViewDenominator); of a stitched JPEG only the rows it samples, at that
// scale. Bilinear, across the +-180 degree edge and over the poles without a seam. Raises
// Exception when the stitched picture is damaged (missing or damaged tiles are grey instead).
MadeView RenderView(const ViewSource& source, const viewer::ViewAngles& angles, int width,
                    int height);

}  // namespace korvane
