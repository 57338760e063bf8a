#pragma once

#include <atomic>

#include "discover/PanoramaFinder.h"
#include "session/StartRequest.h"
#include "ui/TApplication.h"

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

// Another finder's lookups, each preceded by a turn of the application's loop, where a stop
// signal is delivered (the walk runs on the main thread): once stopped, the next lookup raises
// FinderStopped instead.
class StoppableFinder final : public PanoramaFinder {
 public:
  StoppableFinder(PanoramaFinder& finder, TApplication& app) : finder_(finder), app_(app) {}
  std::optional<PanoramaRecord> FindNearest(GeoPoint point, double radiusMetres) override {
    CheckStop();
    return finder_.FindNearest(point, radiusMetres);
  }
  std::optional<PanoramaRecord> FindById(const std::string& panoId) override {
    CheckStop();
    return finder_.FindById(panoId);
  }
  // The stop press, from the signal's queued call.
  void Stop() { stopped_ = true; }

 private:
  void CheckStop() {
    app_.ProcessMessages();
    if (stopped_) throw FinderStopped();
  }

  PanoramaFinder& finder_;
  TApplication& app_;
  std::atomic<bool> stopped_{false};
};

}  // namespace korvane
