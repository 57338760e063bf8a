#pragma once

#include <atomic>
#include <memory>
#include <optional>

#include "discover/PanoramaFinder.h"
#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"
#include "session/StartRequest.h"
#include "ui/TApplication.h"

namespace korvane {

// The walks' lookups through the service, with the route's protocol and proxy, all over one
// client so the walk's requests reuse its connections. The nearest panorama is searched within
// the walk's radius; by id, over a protocol that offers it (the classic one answers nothing).
// The Map Tiles API asks on one session for the whole walk. A route naming no protocol finds
// nothing. An answer whose record carries no position is
// passed over by the walks.
class ServiceFinder final : public PanoramaFinder {
 public:
  explicit ServiceFinder(const ServiceRoute& route);
  NearestPanorama FindNearest(GeoPoint point, double radiusMetres) override;
  std::optional<PanoramaRecord> FindById(const std::string& panoId) override;

 private:
  std::optional<PanoramaProtocol> protocol_;
  HttpClient client_;
  std::unique_ptr<MapTilesAccess> mapTiles_;  // the Map Tiles API's session of the walk
};

// Another finder's lookups, each preceded by a turn of the application's loop, where a stop
// signal is delivered (the walk runs on the main thread): once stopped, the next lookup raises
// FinderStopped instead.
class StoppableFinder final : public PanoramaFinder {
 public:
  StoppableFinder(PanoramaFinder& finder, TApplication& app) : finder_(finder), app_(app) {}
  NearestPanorama FindNearest(GeoPoint point, double radiusMetres) override {
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
