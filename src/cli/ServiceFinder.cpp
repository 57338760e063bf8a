#include "cli/ServiceFinder.h"

#include "config/Config.h"
#include "config/ProxyRequests.h"
#include "lookup/PanoramaRecordLookup.h"
#include "net/MapTilesAddresses.h"

namespace korvane {

ServiceFinder::ServiceFinder(const ServiceRoute& route)
    : protocol_(ParsePanoramaProtocol(route.ProtocolName)) {
  ApplyProxySettings(route.Proxy, client_.Request);
  // The Map Tiles API: one session for the whole walk.
  if (protocol_ == PanoramaProtocol::MapTiles)
    mapTiles_ = std::make_unique<MapTilesAccess>(MapTilesBase(), ReadApiKey());
}

NearestPanorama ServiceFinder::FindNearest(GeoPoint point, double radiusMetres) {
  if (!protocol_) return {};
  try {
    return FindNearestPanoramaRecord(client_, *protocol_, point.Latitude, point.Longitude,
                                     radiusMetres, {}, mapTiles_.get());
  } catch (const std::exception&) {
    // A lookup that failed after its repeats finds nothing; the walk goes on.
    return {};
  }
}

std::optional<PanoramaRecord> ServiceFinder::FindById(const std::string& panoId) {
  if (!protocol_) return std::nullopt;
  try {
    return FindPanoramaRecordById(client_, *protocol_, panoId, {}, mapTiles_.get());
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

}  // namespace korvane
