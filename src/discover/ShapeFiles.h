#pragma once

#include <string>

#include "discover/GeoShapes.h"
#include "platform/Exception.h"

namespace korvane {

// An area or route file that cannot be used: one line that says which file and why (its path
// made printable), for the user to read; nothing is written when one is raised.
class ShapeFileError : public Exception {
 public:
  using Exception::Exception;
};

// The area of --area: a GeoJSON Polygon or MultiPolygon in WGS84, bare or inside a Feature or
// a FeatureCollection (every polygon of every feature together). Rings must be closed, holes
// are cut out. Raises ShapeFileError for a file that cannot be read, is bigger than
// MaxShapeFileBytes, is not GeoJSON, holds no polygon, has a ring that is open or has fewer
// than four positions, a coordinate off the globe, more than MaxShapePoints points, or spans
// more than MaxShapeSpanMetres or the antimeridian.
GeoArea ReadAreaFile(const std::string& path);

// The route of --route: a GPX file (the points of each track segment "trk/trkseg/trkpt" and of
// each route "rte/rtept", each a line of its own) when the file starts with "<", else a GeoJSON
// LineString or MultiLineString (bare, in a Feature or in a FeatureCollection). Raises
// ShapeFileError as ReadAreaFile does, and for a file with no point.
GeoRoute ReadRouteFile(const std::string& path);

}  // namespace korvane
