// How well an area walk covers the stand-in's town, against a plain grid of lookups 50 m apart
// over the same polygon, side by side in one run:
//   RESULT area_coverage <panoramas found inside the polygon / panoramas the town has there>
//   RESULT area_lookups_per_panorama <lookups of the area walk / panoramas it found>
//   RESULT grid50_coverage <the same for the plain 50 m grid>
//   RESULT grid50_lookups_per_panorama <its lookups / panoramas it found>
// The polygon covers the whole town but a hole over the dead end's end, so the gap, the lane no
// street reaches and the hole's edge are all in play.

#include <cstdio>
#include <set>
#include <string>

#include "NetworkFinder.h"
#include "discover/DiscoverLimits.h"
#include "discover/Walks.h"

namespace {

using korvane::GeoArea;
using korvane::GeoPoint;
using korvane::GeoRing;
using korvane::IsInside;
using korvane::standin::NetworkFinder;
using korvane::standin::StreetNetwork;

GeoRing Ring(double west, double south, double east, double north) {
  GeoRing ring;
  for (auto [e, n] :
       {std::pair{west, south}, {east, south}, {east, north}, {west, north}, {west, south}})
    ring.push_back(StreetNetwork::At(e, n));
  return ring;
}

struct Figures {
  double Coverage = 0;
  double LookupsPerPanorama = 0;
};

Figures Measure(const std::set<std::string>& found, int lookups,
                const std::set<std::string>& there) {
  std::size_t hits = 0;
  for (const std::string& id : found)
    hits += there.count(id);
  return {static_cast<double>(hits) / static_cast<double>(there.size()),
          found.empty() ? 0 : static_cast<double>(lookups) / static_cast<double>(found.size())};
}

}  // namespace

int main() {
  const GeoArea area = {{Ring(-30, -130, 430, 330), {Ring(85, 55, 115, 135)}}};
  std::set<std::string> there;
  for (const korvane::PanoramaRecord* place : StreetNetwork::Town().Places())
    if (IsInside(area, {*place->Latitude, *place->Longitude})) there.insert(place->PanoId);

  // The area walk: seeds on a 50 m grid and the links from every panorama found.
  NetworkFinder walkFinder;
  std::set<std::string> walked;
  for (const korvane::PanoramaRecord& record :
       korvane::FindInArea(walkFinder, area, korvane::DefaultSeedSpacingMetres))
    walked.insert(record.PanoId);

  // The plain grid: the nearest panorama within the service's 50 m of each grid point, kept
  // when inside.
  NetworkFinder gridFinder;
  std::set<std::string> grid;
  for (const GeoPoint& point : korvane::SeedGrid(area, 50)) {
    const auto record = gridFinder.FindNearest(point, korvane::RouteSearchRadiusMetres).Record;
    if (record && IsInside(area, {*record->Latitude, *record->Longitude}))
      grid.insert(record->PanoId);
  }

  // For comparison only: the same walk with seeds 100 m apart.
  NetworkFinder sparseFinder;
  std::set<std::string> sparse;
  for (const korvane::PanoramaRecord& record : korvane::FindInArea(sparseFinder, area, 100))
    sparse.insert(record.PanoId);
  const Figures wide = Measure(sparse, sparseFinder.Lookups(), there);
  std::printf("area walk with --spacing 100: coverage %.3f, %.3f lookups per panorama\n",
              wide.Coverage, wide.LookupsPerPanorama);

  const Figures walk = Measure(walked, walkFinder.Lookups(), there);
  const Figures plain = Measure(grid, gridFinder.Lookups(), there);
  std::printf(
      "panoramas in the polygon: %zu; area walk: %zu found, %d lookups; 50 m grid: %zu "
      "found, %d lookups\n",
      there.size(), walked.size(), walkFinder.Lookups(), grid.size(), gridFinder.Lookups());
  std::printf("RESULT area_coverage %.3f\n", walk.Coverage);
  std::printf("RESULT area_lookups_per_panorama %.3f\n", walk.LookupsPerPanorama);
  std::printf("RESULT grid50_coverage %.3f\n", plain.Coverage);
  std::printf("RESULT grid50_lookups_per_panorama %.3f\n", plain.LookupsPerPanorama);
  return 0;
}
