// An area or route file for korvane-cli --area and --route, read as GeoJSON and as GPX. Each
// input is refused with one printable line naming the file, or read into shapes whose every
// point is on the globe, within the point cap, whose rings are closed with four positions or
// more, and whose lines are not empty.
#include <cstdlib>

#include "FuzzTarget.h"
#include "discover/DiscoverLimits.h"
#include "discover/GeoJsonShapes.h"
#include "discover/GpxRoute.h"
#include "discover/ShapeFiles.h"
#include "platform/PrintableText.h"

namespace {

using namespace korvane;

void CheckRefusal(const ShapeFileError& error) {
  if (error.Message().rfind("shape: ", 0) != 0 || !IsPrintableText(error.Message())) std::abort();
}

void CheckPoint(const GeoPoint& point) {
  if (!IsOnGlobe(point.Latitude, point.Longitude)) std::abort();
}

void CheckRing(const GeoRing& ring) {
  if (ring.size() < 4 || !(ring.front() == ring.back())) std::abort();
  for (const GeoPoint& point : ring)
    CheckPoint(point);
}

void CheckRoute(const GeoRoute& route) {
  std::size_t points = 0;
  for (const std::vector<GeoPoint>& line : route) {
    points += line.size();
    for (const GeoPoint& point : line)
      CheckPoint(point);
  }
  if (points == 0 || points > MaxShapePoints) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(korvane::fuzz::AsText(data, size));
  try {
    for (const GeoPolygon& polygon : ParseGeoJsonArea("shape", text)) {
      CheckRing(polygon.Outer);
      for (const GeoRing& hole : polygon.Holes)
        CheckRing(hole);
    }
  } catch (const ShapeFileError& error) {
    CheckRefusal(error);
  }
  try {
    CheckRoute(ParseGeoJsonRoute("shape", text));
  } catch (const ShapeFileError& error) {
    CheckRefusal(error);
  }
  try {
    const GeoRoute route = ParseGpxRoute("shape", text);
    CheckRoute(route);
    for (const std::vector<GeoPoint>& line : route)
      if (line.empty()) std::abort();
  } catch (const ShapeFileError& error) {
    CheckRefusal(error);
  }
  return 0;
}
