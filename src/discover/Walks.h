#pragma once

#include <cstddef>
#include <vector>

#include "discover/GeoShapes.h"
#include "discover/PanoramaFinder.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// The panoramas a walk found, in the order found, each id once; every one has a usable id and a
// position on the globe (answers without either are passed over).
using FoundPanoramas = std::vector<PanoramaRecord>;

// Around a point: the nearest panorama within radiusMetres, then its links breadth-first,
// keeping each panorama within the radius of the point, until maxCount are kept.
FoundPanoramas FindAround(PanoramaFinder& finder, GeoPoint centre, double radiusMetres,
                          std::size_t maxCount);

// Inside an area: a lookup at each point of a grid spacingMetres apart inside the area (a point
// close to a panorama already found is passed over), and from each panorama found a walk of
// its links, keeping those inside the area: the links find what the grid misses.
FoundPanoramas FindInArea(PanoramaFinder& finder, const GeoArea& area, double spacingMetres);

// Along a route: a lookup every stepMetres along each of its lines (the line's ends included),
// each panorama once.
FoundPanoramas FindAlongRoute(PanoramaFinder& finder, const GeoRoute& route, double stepMetres);

// The other captures of each panorama found, each looked up by id and put after the panorama
// it belongs to (when the lookup answers nothing, the place's position with the capture's own
// date stands for it); an id already found is not added twice.
FoundPanoramas AddOtherDates(PanoramaFinder& finder, const FoundPanoramas& found);

// The points of the area's seed grid (exposed for the tests and the benchmark).
std::vector<GeoPoint> SeedGrid(const GeoArea& area, double spacingMetres);

// What a walk would cost before it starts: the points of the seed grid's box, the lookups along
// the route. Checked against MaxPlannedLookups.
double SeedGridBoxPoints(const GeoArea& area, double spacingMetres);
double RouteSteps(const GeoRoute& route, double stepMetres);

}  // namespace korvane
