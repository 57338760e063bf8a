#pragma once

#include <string>

#include "discover/GeoShapes.h"

namespace korvane {

// The GeoJSON readers behind ReadAreaFile and ReadRouteFile: text is the file's content, path
// names it in the errors (ShapeFileError).
GeoArea ParseGeoJsonArea(const std::string& path, const std::string& text);
GeoRoute ParseGeoJsonRoute(const std::string& path, const std::string& text);

}  // namespace korvane
