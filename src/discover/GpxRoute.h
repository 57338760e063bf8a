#pragma once

#include <string>

#include "discover/GeoShapes.h"

namespace korvane {

// The GPX reader behind ReadRouteFile: text is the file's content, path names it in the errors
// (ShapeFileError). Each track segment (trk/trkseg/trkpt) and each route (rte/rtept) is a line;
// waypoints and everything else are passed over.
GeoRoute ParseGpxRoute(const std::string& path, const std::string& text);

}  // namespace korvane
