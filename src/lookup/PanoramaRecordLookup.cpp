#include "lookup/PanoramaRecordLookup.h"

#include <algorithm>
#include <cmath>

#include "lookup/ClassicLookup.h"
#include "lookup/CurrentLookup.h"
#include "lookup/GeoMetric.h"
#include "lookup/MapTilesLookup.h"

namespace korvane {
namespace {

// The widest search the current lookup is asked for.
constexpr double MaxSearchRadiusMetres = 100'000.0;

std::function<void(const std::string&)> OrNoLines(
    const std::function<void(const std::string&)>& addLogLine) {
  if (addLogLine) return addLogLine;
  return [](const std::string&) {};
}

bool Within(const PanoramaRecord& record, double latitude, double longitude, double radiusMetres) {
  if (!record.Latitude || !record.Longitude) return true;  // the service chose it
  if (!IsOnGlobe(*record.Latitude, *record.Longitude)) return false;
  return DistanceMetres({latitude, longitude}, {*record.Latitude, *record.Longitude}) <=
         radiusMetres;
}

}  // namespace

NearestPanorama FindNearestPanoramaRecord(HttpClient& client, PanoramaProtocol protocol,
                                          double latitude, double longitude, double radiusMetres,
                                          const std::function<void(const std::string&)>& addLogLine,
                                          MapTilesAccess* mapTiles) {
  if (!std::isfinite(radiusMetres) || radiusMetres < 0) return {};
  PanoramaRecord record;
  if (protocol == PanoramaProtocol::MapTiles) {
    if (mapTiles == nullptr) return {};
    bool refused = false;
    MapTilesMetadata found = LookUpMapTilesPanorama(*mapTiles, client, latitude, longitude,
                                                    OrNoLines(addLogLine), refused);
    if (client.IsAborted() || refused) return {};
    if (found.Answer.Kind == LookupAnswerKind::NoPanorama) return {std::nullopt, true};
    if (found.Answer.Kind != LookupAnswerKind::Found) return {};
    record = std::move(found.Record);
  } else if (protocol == PanoramaProtocol::Classic) {
    ClassicLookupResult found =
        LookUpClassicPanorama(client, latitude, longitude, OrNoLines(addLogLine));
    if (found.PanoId.empty()) return {};
    record = std::move(found.Record);
    record.PanoId = found.PanoId;
    record.Protocol = PanoramaProtocol::Classic;
  } else {
    const int radius =
        static_cast<int>(std::ceil(std::clamp(radiusMetres, 1.0, MaxSearchRadiusMetres)));
    CurrentLookupAnswer answer =
        LookUpCurrentPanorama(client, latitude, longitude, OrNoLines(addLogLine), radius);
    if (client.IsAborted()) return {};
    if (answer.Kind == LookupAnswerKind::NoPanorama) return {std::nullopt, true};
    if (answer.Kind != LookupAnswerKind::Found) return {};
    record = std::move(answer.Record);
  }
  if (client.IsAborted()) return {};
  if (!Within(record, latitude, longitude, radiusMetres)) return {std::nullopt, true};
  return {std::move(record), true};
}

std::optional<PanoramaRecord> FindPanoramaRecordById(
    HttpClient& client, PanoramaProtocol protocol, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine, MapTilesAccess* mapTiles) {
  if (!OffersLookupById(protocol)) return std::nullopt;
  if (protocol == PanoramaProtocol::MapTiles) {
    if (mapTiles == nullptr) return std::nullopt;
    bool refused = false;
    MapTilesMetadata found =
        LookUpMapTilesPanoramaById(*mapTiles, client, panoId, OrNoLines(addLogLine), refused);
    if (found.Answer.Kind != LookupAnswerKind::Found || refused || client.IsAborted())
      return std::nullopt;
    return std::move(found.Record);
  }
  CurrentLookupAnswer answer = LookUpCurrentPanoramaById(client, panoId, OrNoLines(addLogLine));
  if (answer.Kind != LookupAnswerKind::Found || client.IsAborted()) return std::nullopt;
  return std::move(answer.Record);
}

}  // namespace korvane
