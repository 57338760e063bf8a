#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/ExitStatus.h"
#include "views/ViewLimits.h"

namespace korvane {

// One view to save: where it looks (heading as the user gives it: compass degrees when the
// panorama's heading is known, else from its middle), its size and the end of its file name.
struct ViewOrder {
  double Heading = 0.0;
  double Pitch = 0.0;
  double FieldOfView = DefaultViewFieldOfView;
  int Width = DefaultViewWidth;
  int Height = DefaultViewHeight;
  std::string Suffix;  // "_view_90", "_front" ...: the file is "<base><suffix>.jpg"
};

// "_view_<heading>": the heading in whole degrees, or with one decimal when it has a fraction.
std::string ViewSuffix(double heading);

// The single view of --view, its heading brought into [0, 360).
ViewOrder OneView(double heading, double pitch, double fieldOfView, int width, int height);

// count views evenly round the horizon from heading 0 (north when known), each as wide as its
// share of the horizon (within MinViewFieldOfView .. MaxViewFieldOfView).
std::vector<ViewOrder> ViewsAround(int count, int width, int height);

// The six 90-degree faces of a cube, side x side: _front (heading 0), _right, _back, _left,
// _up and _down; the up face's lower edge meets the front face's upper edge, the down face's
// upper edge its lower one.
std::vector<ViewOrder> CubeFaces(int side);

// What to make: the views of one panorama (a task file or a stitched JPEG) into files named
// "<base><suffix>.jpg", base the input's path without its extension unless given; a single
// view goes to OutputPath when given.
struct ViewJob {
  std::string Input;
  std::vector<ViewOrder> Views;
  std::string
      OutputPath;  // one view: its file; several: their base with ".jpg"; empty: beside the input
  int Quality = DefaultViewQuality;
  bool Replace = false;
};

// The file each view of the job goes to.
std::vector<std::string> ViewPaths(const ViewJob& job);

// Makes the views: each file's path on out, one a line after linePrefix; warnings (an unknown
// heading, a size cut to what the panorama holds), the summary of missing tiles and errors on err.
// Returns Complete, Incomplete when tiles the views needed were missing (grey), or Error (the first
// view that cannot be made ends the job).
ExitStatus MakeViews(const ViewJob& job, std::ostream& out, std::ostream& err,
                     const std::string& linePrefix = "");

}  // namespace korvane
