#pragma once

#include "StreetNetwork.h"
#include "discover/PanoramaFinder.h"

namespace korvane::standin {

// The town answering the walks' lookups in process, counting them: what the tests and the
// benchmark walk instead of the service.
class NetworkFinder final : public PanoramaFinder {
 public:
  explicit NetworkFinder(const StreetNetwork& network = StreetNetwork::Town())
      : network_(network) {}

  NearestPanorama FindNearest(GeoPoint point, double radiusMetres) override {
    ++lookups_;
    const PanoramaRecord* record = network_.Nearest(point, radiusMetres);
    return {record ? std::optional(*record) : std::nullopt, true};
  }
  std::optional<PanoramaRecord> FindById(const std::string& panoId) override {
    ++lookups_;
    const PanoramaRecord* record = network_.ById(panoId);
    return record ? std::optional(*record) : std::nullopt;
  }

  int Lookups() const { return lookups_; }

 private:
  const StreetNetwork& network_;
  int lookups_ = 0;
};

}  // namespace korvane::standin
