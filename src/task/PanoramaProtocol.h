#pragma once

#include <optional>
#include <string>

namespace korvane {

// The ways of speaking to the Street View service. A task is fetched with one of them from
// start to end: its task file records which, and a task never continues as another.
enum class PanoramaProtocol {
  Classic,   // the cbk metadata and tiles of Server0..Server3; the fixed grid of the zoom level
  Current,   // today's lookup (LookupBase) and tiles (TileBase); the grid of the panorama's size
  MapTiles,  // the documented, keyed Map Tiles API (MapTilesBase): a session, its metadata and
             // tiles; the grid of the panorama's size, fetched like Current's
};

// Today's protocols share the adaptive fetching, the push-back rules and the grid of the
// panorama's size; only the classic one walks its fixed grid with its pause.
inline bool IsTodaysProtocol(PanoramaProtocol protocol) {
  return protocol != PanoramaProtocol::Classic;
}

// The protocol's name in the configuration's "Protocol" key ("classic", "current", "maptiles").
std::string ProtocolName(PanoramaProtocol protocol);

// A protocol's name in any letter case; nothing for any other text.
std::optional<PanoramaProtocol> ParsePanoramaProtocol(const std::string& text);

// Whether the protocol can look a panorama up by its id (the classic one cannot).
bool OffersLookupById(PanoramaProtocol protocol);

// The number a task file's "MapsType" key records for the protocol (32 classic, 33 current,
// 34 maptiles).
// Only the task file's reader and writer turn protocols into these numbers and back.
int MapsTypeOf(PanoramaProtocol protocol);

// The protocol a task file's MapsType names; nothing for a number no protocol has.
std::optional<PanoramaProtocol> ProtocolOfMapsType(int mapsType);

}  // namespace korvane
