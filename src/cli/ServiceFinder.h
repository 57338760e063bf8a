#pragma once

#include "discover/PanoramaFinder.h"
#include "session/StartRequest.h"

namespace korvane {

// The walks' lookups through the service, with the route's protocol and proxy. The nearest
// panorama is the Start lookup's (the service searches its own distance around the point,
// whatever the radius); a lookup by id is not offered yet, so the walks get no answer for one.
// An answer whose record carries no position is passed over by the walks.
class ServiceFinder final : public PanoramaFinder {
 public:
  explicit ServiceFinder(ServiceRoute route) : route_(std::move(route)) {}
  std::optional<PanoramaRecord> FindNearest(GeoPoint point, double radiusMetres) override;
  std::optional<PanoramaRecord> FindById(const std::string& panoId) override;

 private:
  ServiceRoute route_;
};

}  // namespace korvane
