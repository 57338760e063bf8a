#pragma once

#include <cstddef>

namespace korvane {

// The limits of finding many panoramas, in one place.

// The largest area or route file read; a bigger one is refused before it is parsed.
inline constexpr std::size_t MaxShapeFileBytes = 16u << 20;
// The most points an area or a route may have, all rings and lines together.
inline constexpr std::size_t MaxShapePoints = 500000;
// The widest an area or route may be (its bounding box's longer side): the local metric frame
// is good to a metre within this, and a bigger one is a job for several runs.
inline constexpr double MaxShapeSpanMetres = 20000;

// The radius --around accepts, and the most panoramas a plan may hold (also --max's ceiling).
inline constexpr double MaxAroundRadiusMetres = 5000;
inline constexpr std::size_t MaxPlanRows = 200000;

// The grid of area seeds: its default spacing and the range --spacing accepts.
inline constexpr double DefaultSeedSpacingMetres = 50;
inline constexpr double MinSeedSpacingMetres = 5;
inline constexpr double MaxSeedSpacingMetres = 1000;
// A seed this close to a panorama already found is passed over: its lookup would answer that
// panorama or a neighbour on the same street, which the links reach without a lookup of its own.
inline constexpr double SeedCoveredMetres = 10;
// How far a seed's lookup searches, in spacings: well beyond its own square (half a spacing's
// diagonal, 0.71). A lookup answers the nearest panorama within its radius, so the disc up to
// its answer (the whole radius when it answers none) holds no other panorama; a seed whose
// square lies inside such discs is passed over. Two spacings reach over the squares of the
// seeds around in empty blocks; the walks' benchmark finds no gain beyond.
inline constexpr double SeedSearchReach = 2.0;
// How finely a seed's square is checked against the discs known empty: in this many cells a
// side (2.5 m at the default spacing), each counting only when it lies whole inside one disc.
inline constexpr int EmptyCheckCells = 20;

// The route's lookup step: its default and the range --every accepts, and how far from each
// step a lookup searches (the reach the service's own lookup has).
inline constexpr double DefaultRouteStepMetres = 10;
inline constexpr double MinRouteStepMetres = 1;
inline constexpr double MaxRouteStepMetres = 1000;
inline constexpr double RouteSearchRadiusMetres = 50;

// The most lookups a walk may plan before it starts: the seeds of an area's grid box, the steps
// along a route. More is refused (a larger spacing or step, or a smaller shape, is needed), so
// neither the memory of the seeds nor the requests to the service grow without bound.
inline constexpr double MaxPlannedLookups = 1000000;

// The most parts --shard may split a plan into.
inline constexpr int MaxShards = 100000;

// The largest plan file read back, and its longest row.
inline constexpr std::size_t MaxPlanFileBytes = 256u << 20;
inline constexpr std::size_t MaxPlanRowBytes = 64u << 10;

}  // namespace korvane
