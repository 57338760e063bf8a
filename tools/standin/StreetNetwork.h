#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lookup/GeoMetric.h"
#include "task/PanoramaRecord.h"

namespace korvane::standin {

// The stand-in's town: a few streets with a panorama every NetworkStepMetres, linked both ways
// to the next along the street; streets that meet share the panorama at the junction. One
// street is a dead end, one has a gap its links do not cross, and one lane links to no other
// street (only a lookup near it finds it). Every place was captured on NetworkDates dates:
// the newest is the place's panorama (the one a lookup answers and links lead to), the older
// ones are its other dates, reached by id.
class StreetNetwork {
 public:
  // The town, built once.
  static const StreetNetwork& Town();

  // Where the town's east/north metres start.
  static constexpr GeoPoint Origin{47.3700, 8.5400};
  static constexpr double NetworkStepMetres = 10;
  static constexpr int NetworkDates = 3;

  // The point so many metres east and north of the origin.
  static GeoPoint At(double eastMetres, double northMetres);

  // Every capture of every place.
  const std::vector<PanoramaRecord>& Captures() const { return captures_; }
  // The newest capture of each place.
  std::vector<const PanoramaRecord*> Places() const;

  const PanoramaRecord* ById(std::string_view panoId) const;
  // The newest capture of the place nearest to the point within radiusMetres, or null.
  const PanoramaRecord* Nearest(GeoPoint point, double radiusMetres) const;

 private:
  StreetNetwork();

  std::vector<PanoramaRecord> captures_;
  std::size_t placeCount_ = 0;  // the first placeCount_ captures are the places' newest
  std::unordered_map<std::string, std::size_t> indexOf_;
};

}  // namespace korvane::standin
