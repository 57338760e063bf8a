#pragma once

#include <string>

#include "discover/GeoShapes.h"

namespace korvane {

// The checks every area or route file goes through, whatever its format; each raises
// ShapeFileError with "<path>: <reason>".

// The file's bytes, when it is a regular file of at most MaxShapeFileBytes.
std::string ReadShapeFileBytes(const std::string& path);

// "<printable path>: <reason>" as a ShapeFileError.
[[noreturn]] void RefuseShapeFile(const std::string& path, const std::string& reason);

// A point of the file: refused when off the globe.
GeoPoint CheckedPoint(const std::string& path, double latitude, double longitude);

// The shape as a whole: some point, at most MaxShapePoints, no wider than MaxShapeSpanMetres,
// not across the antimeridian.
void CheckShapeSize(const std::string& path, std::size_t points, const GeoBox& box);

}  // namespace korvane
