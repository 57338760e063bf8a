#include "cli/ServiceFinder.h"

#include "config/ProxyRequests.h"
#include "lookup/StartLookup.h"
#include "net/HttpClient.h"

namespace korvane {

std::optional<PanoramaRecord> ServiceFinder::FindNearest(GeoPoint point, double) {
  const std::optional<PanoramaProtocol> protocol = ParsePanoramaProtocol(route_.ProtocolName);
  if (!protocol) return std::nullopt;
  HttpClient client;
  try {
    ApplyProxySettings(route_.Proxy, client.Request);
    // Zoom 0: every panorama has it, so the lookup refuses none for its size.
    const StartLookupResult found = LookUpForStart(*protocol, client, point.Latitude,
                                                   point.Longitude, 0, [](const std::string&) {});
    if (found.PanoId.empty()) return std::nullopt;
    PanoramaRecord record = found.Record;
    record.PanoId = found.PanoId;
    record.Protocol = found.Protocol;
    return record;
  } catch (const std::exception&) {
    // A lookup that failed after its repeats finds nothing; the walk goes on.
    return std::nullopt;
  }
}

std::optional<PanoramaRecord> ServiceFinder::FindById(const std::string&) {
  return std::nullopt;
}

}  // namespace korvane
