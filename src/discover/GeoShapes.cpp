#include "discover/GeoShapes.h"

#include <algorithm>
#include <limits>

namespace korvane {
namespace {

// Even-odd crossing test of a horizontal ray from the point.
bool IsInsideRing(const GeoRing& ring, GeoPoint point) {
  bool inside = false;
  for (std::size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
    const GeoPoint& a = ring[i];
    const GeoPoint& b = ring[j];
    if ((a.Latitude > point.Latitude) != (b.Latitude > point.Latitude)) {
      const double crossing = a.Longitude + (point.Latitude - a.Latitude) *
                                                (b.Longitude - a.Longitude) /
                                                (b.Latitude - a.Latitude);
      if (point.Longitude < crossing) inside = !inside;
    }
  }
  return inside;
}

template <typename Lines>
GeoBox BoxOfLines(const Lines& lines) {
  GeoBox box{std::numeric_limits<double>::max(), std::numeric_limits<double>::max(),
             std::numeric_limits<double>::lowest(), std::numeric_limits<double>::lowest()};
  bool any = false;
  for (const auto& line : lines) {
    for (const GeoPoint& point : line) {
      any = true;
      box.South = std::min(box.South, point.Latitude);
      box.North = std::max(box.North, point.Latitude);
      box.West = std::min(box.West, point.Longitude);
      box.East = std::max(box.East, point.Longitude);
    }
  }
  return any ? box : GeoBox{};
}

}  // namespace

GeoBox BoxOf(const GeoArea& area) {
  std::vector<GeoRing> outers;
  for (const GeoPolygon& polygon : area)
    outers.push_back(polygon.Outer);
  return BoxOfLines(outers);
}

GeoBox BoxOf(const GeoRoute& route) {
  return BoxOfLines(route);
}

double SpanMetres(const GeoBox& box) {
  const double height = DistanceMetres({box.South, box.West}, {box.North, box.West});
  const double width = std::max(DistanceMetres({box.South, box.West}, {box.South, box.East}),
                                DistanceMetres({box.North, box.West}, {box.North, box.East}));
  return std::max(height, width);
}

bool IsInside(const GeoArea& area, GeoPoint point) {
  for (const GeoPolygon& polygon : area) {
    if (polygon.Outer.size() < 4 || !IsInsideRing(polygon.Outer, point)) continue;
    const bool inHole = std::any_of(
        polygon.Holes.begin(), polygon.Holes.end(),
        [&point](const GeoRing& hole) { return hole.size() >= 4 && IsInsideRing(hole, point); });
    if (!inHole) return true;
  }
  return false;
}

}  // namespace korvane
