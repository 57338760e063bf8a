#pragma once

#include <functional>
#include <string>

#include "lookup/MapTilesMetadata.h"
#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"

namespace korvane {

// The Map Tiles API's lookup of the panorama nearest to the point: its metadata request
// (MapTilesMetadataUrl) through access, repeated by the current lookup's table
// (CurrentLookupRepeats: backing off on push-back), its lines to addLogLine. A refusal of the
// key, the API or billing gives up at once with the service's one line, and sets refused. Every
// outcome but Found means that there is no panorama. Stopped by an Abort on client.
MapTilesMetadata LookUpMapTilesPanorama(MapTilesAccess& access, HttpClient& client, double latitude,
                                        double longitude,
                                        const std::function<void(const std::string&)>& addLogLine,
                                        bool& refused);

// The same for a panorama whose id is known already (a batch's panoIds request found it):
// its metadata by id (MapTilesPanoramaMetadataUrl).
MapTilesMetadata LookUpMapTilesPanoramaById(
    MapTilesAccess& access, HttpClient& client, const std::string& panoId,
    const std::function<void(const std::string&)>& addLogLine, bool& refused);

}  // namespace korvane
