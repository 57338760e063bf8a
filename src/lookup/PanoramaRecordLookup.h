#pragma once

#include <functional>
#include <optional>
#include <string>

#include "net/HttpClient.h"
#include "task/PanoramaProtocol.h"
#include "task/PanoramaRecord.h"

namespace korvane {

class MapTilesAccess;

// The record of one panorama over the protocol given, for code that walks from panorama to
// panorama. No window, no task: each call is one lookup (with its repeats) over client, whose
// proxy and abort the caller sets; a walk passes the same client to every call, so its
// connections are reused. The Map Tiles API asks on the caller's session (mapTiles, which that
// protocol needs: without it nothing is found). Lines of the lookup go to addLogLine when given.
// Nothing when there is no such panorama, or the lookup gave up or was aborted.

// What a lookup of the panorama nearest a point told.
struct NearestPanorama {
  std::optional<PanoramaRecord> Record;  // the nearest panorama within the radius
  // The service answered: with Record, or that there is none within the radius. False when the
  // lookup gave up, was aborted or cannot tell (the classic metadata without a panorama): then
  // nothing is known of the place.
  bool Answered = false;
};

// The panorama nearest the point within radiusMetres (the current lookup searches that far; a
// panorama whose position the answer gives farther off is none).
NearestPanorama FindNearestPanoramaRecord(
    HttpClient& client, PanoramaProtocol protocol, double latitude, double longitude,
    double radiusMetres, const std::function<void(const std::string&)>& addLogLine = {},
    MapTilesAccess* mapTiles = nullptr);

// The panorama of an id; a protocol without a by-id request (OffersLookupById) gives nothing.
std::optional<PanoramaRecord> FindPanoramaRecordById(
    HttpClient& client, PanoramaProtocol protocol, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine = {},
    MapTilesAccess* mapTiles = nullptr);

}  // namespace korvane
