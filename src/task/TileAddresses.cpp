#include "task/TileAddresses.h"

#include "net/MapTilesAddresses.h"
#include "platform/NumberFormat.h"

namespace korvane {
namespace {

// The current protocol's tile on TileBase; one host serves every row.
constexpr const char* CurrentTilePath = "/v1/tile?cb_client=maps_sv.tactile&panoid=";

}  // namespace

TileAddresses::TileAddresses(PanoramaProtocol protocol) : protocol_(protocol) {
  if (protocol_ == PanoramaProtocol::Current) {
    tileBase_ = TileBase();
  } else if (protocol_ == PanoramaProtocol::MapTiles) {
    tileBase_ = MapTilesBase();
  } else {
    for (int server = 0; server < StreetViewServerCount; ++server) {
      tileHosts_[server] = StreetViewHost(server);
    }
  }
}

std::string TileAddresses::Of(const std::string& panoId, int x, int y, int zoom) const {
  if (protocol_ == PanoramaProtocol::MapTiles)
    return MapTilesTileUrl(tileBase_, panoId, x, y, zoom);
  const std::string place =
      panoId + "&x=" + IntToStr(x) + "&y=" + IntToStr(y) + "&zoom=" + IntToStr(zoom);
  if (protocol_ == PanoramaProtocol::Current) return tileBase_ + CurrentTilePath + place;
  return "http://" + tileHosts_[y % StreetViewServerCount] + "/cbk?output=tile&panoid=" + place;
}

}  // namespace korvane
