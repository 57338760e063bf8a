#pragma once

#include <vector>

#include "lookup/GeoMetric.h"

namespace korvane {

// A closed ring of points; the last point repeats the first, as GeoJSON writes it.
using GeoRing = std::vector<GeoPoint>;

// A polygon: its outer ring, then the holes cut out of it.
struct GeoPolygon {
  GeoRing Outer;
  std::vector<GeoRing> Holes;
};

// An area: one or more polygons (a MultiPolygon); a point is inside when it is inside one of
// them and in none of that polygon's holes.
using GeoArea = std::vector<GeoPolygon>;

// A route: one or more lines (a GPX file's track segments and routes), each walked on its own.
using GeoRoute = std::vector<std::vector<GeoPoint>>;

// The box around a set of points, in degrees.
struct GeoBox {
  double South = 0;
  double West = 0;
  double North = 0;
  double East = 0;
  GeoPoint Centre() const { return {(South + North) / 2, (West + East) / 2}; }
};
GeoBox BoxOf(const GeoArea& area);
GeoBox BoxOf(const GeoRoute& route);
// The longer side of the box in metres.
double SpanMetres(const GeoBox& box);

// True when the point is inside the area (on the edge counts as either, as rounding decides).
// Rings are taken as straight in degrees, which at the spans accepted differs from the geodesic
// edge by far less than a metre.
bool IsInside(const GeoArea& area, GeoPoint point);

}  // namespace korvane
