#pragma once

#include <optional>
#include <string>

#include "lookup/GeoMetric.h"
#include "lookup/PanoramaRecordLookup.h"
#include "platform/Exception.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// Raised by a finder asked to stop (Ctrl-C while the walk looks up): the walk ends at once
// and no plan is made of what it had found.
class FinderStopped : public Exception {
 public:
  FinderStopped() : Exception("Stopped before the plan was made") {}
};

// The two questions the walks ask of the service, whichever protocol answers them. Each call is
// one lookup (one request, with the repeat policy of the lookup behind it). An answer is outside
// input: the walks check its id and position before using it.
class PanoramaFinder {
 public:
  virtual ~PanoramaFinder() = default;
  // The panorama nearest to the point within radiusMetres, or nothing, and whether the service
  // answered (a lookup that failed tells nothing of the place).
  virtual NearestPanorama FindNearest(GeoPoint point, double radiusMetres) = 0;
  // The panorama with this id, or nothing.
  virtual std::optional<PanoramaRecord> FindById(const std::string& panoId) = 0;
};

}  // namespace korvane
