#include "lookup/GeoMetric.h"

#include <cmath>
#include <numbers>

namespace korvane {
namespace {

constexpr double SemiMajorAxisMetres = 6378137.0;   // WGS84 a
constexpr double Flattening = 1.0 / 298.257223563;  // WGS84 f
constexpr double EccentricitySquared = Flattening * (2 - Flattening);
constexpr double RadiansPerDegree = std::numbers::pi / 180.0;

// The longitude difference folded into [-180, 180), so a pair across the antimeridian is near.
double LongitudeDelta(double from, double to) {
  double delta = std::fmod(to - from + 540.0, 360.0) - 180.0;
  if (delta < -180.0) delta += 360.0;
  return delta;
}

}  // namespace

bool IsOnGlobe(double latitude, double longitude) {
  return std::isfinite(latitude) && std::isfinite(longitude) && latitude >= -90.0 &&
         latitude <= 90.0 && longitude >= -180.0 && longitude <= 180.0;
}

LocalFrame::LocalFrame(GeoPoint reference) : reference_(reference) {
  const double sine = std::sin(reference.Latitude * RadiansPerDegree);
  const double w = 1.0 - EccentricitySquared * sine * sine;
  const double meridian = SemiMajorAxisMetres * (1.0 - EccentricitySquared) / (w * std::sqrt(w));
  const double primeVertical = SemiMajorAxisMetres / std::sqrt(w);
  metresPerDegreeLatitude_ = meridian * RadiansPerDegree;
  metresPerDegreeLongitude_ =
      primeVertical * std::cos(reference.Latitude * RadiansPerDegree) * RadiansPerDegree;
}

LocalFrame::Metres LocalFrame::ToMetres(GeoPoint point) const {
  return {LongitudeDelta(reference_.Longitude, point.Longitude) * metresPerDegreeLongitude_,
          (point.Latitude - reference_.Latitude) * metresPerDegreeLatitude_};
}

GeoPoint LocalFrame::ToPoint(Metres metres) const {
  double longitude = reference_.Longitude;
  if (metresPerDegreeLongitude_ > 0) longitude += metres.East / metresPerDegreeLongitude_;
  if (longitude > 180.0) longitude -= 360.0;
  if (longitude < -180.0) longitude += 360.0;
  return {reference_.Latitude + metres.North / metresPerDegreeLatitude_, longitude};
}

double DistanceMetres(GeoPoint a, GeoPoint b) {
  const GeoPoint middle{(a.Latitude + b.Latitude) / 2,
                        a.Longitude + LongitudeDelta(a.Longitude, b.Longitude) / 2};
  const LocalFrame frame(middle);
  const LocalFrame::Metres from = frame.ToMetres(a);
  const LocalFrame::Metres to = frame.ToMetres(b);
  return std::hypot(to.East - from.East, to.North - from.North);
}

}  // namespace korvane
