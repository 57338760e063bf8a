#pragma once

#include <optional>

namespace korvane {

// A point on the globe in WGS84 degrees.
struct GeoPoint {
  double Latitude = 0;
  double Longitude = 0;
  bool operator==(const GeoPoint&) const = default;
};

// True for finite coordinates with latitude in [-90, 90] and longitude in [-180, 180].
bool IsOnGlobe(double latitude, double longitude);

// A flat east/north metric frame around a reference point: the WGS84 ellipsoid's radii of
// curvature at the reference latitude (meridian and prime vertical) turn degrees into metres.
// Over the few kilometres a street, a route or a neighbourhood spans the error against the
// ellipsoid's geodesic stays under a metre (it grows with the square of the distance from the
// reference, about 0.1 m at 5 km away from the poles); the callers refuse larger spans
// (MaxShapeSpanMetres). Longitudes are taken on the reference's side of the antimeridian.
class LocalFrame {
 public:
  explicit LocalFrame(GeoPoint reference);

  struct Metres {
    double East = 0;
    double North = 0;
  };
  Metres ToMetres(GeoPoint point) const;
  GeoPoint ToPoint(Metres metres) const;

 private:
  GeoPoint reference_;
  double metresPerDegreeLatitude_ = 0;
  double metresPerDegreeLongitude_ = 0;
};

// The distance in metres between two points, in the frame of their midpoint: the program's one
// distance (the walks, and the lookups checking an answer against their radius). Under a metre
// over a town; a few metres at 100 km, the widest search a lookup makes.
double DistanceMetres(GeoPoint a, GeoPoint b);

}  // namespace korvane
