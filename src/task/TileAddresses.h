#pragma once

#include <array>
#include <string>

#include "net/ServiceAddresses.h"
#include "task/PanoramaProtocol.h"

namespace korvane {

// The address of a tile, as a task of either protocol asks for it:
//   Classic: http://<server y mod 4>/cbk?output=tile&panoid=<id>&x=<x>&y=<y>&zoom=<zoom>
//   Current: <TileBase>/v1/tile?cb_client=maps_sv.tactile&panoid=<id>&x=<x>&y=<y>&zoom=<zoom>
//   MapTiles: <MapTilesBase>/v1/streetview/tiles/<zoom>/<x>/<y>?panoId=<id> (the session and key
//             are added only when the request is sent, so no stored address holds them)
// The download builds its requests with it and the re-download accepts only addresses it
// builds, so a failed list cannot send the re-download anywhere else.
class TileAddresses {
 public:
  // Reads the protocol's tile hosts from the configuration once: they stay fixed for the
  // object's life, so the workers never read the configuration.
  explicit TileAddresses(PanoramaProtocol protocol);

  std::string Of(const std::string& panoId, int x, int y, int zoom) const;

 private:
  PanoramaProtocol protocol_;
  std::array<std::string, StreetViewServerCount> tileHosts_;
  std::string tileBase_;
};

}  // namespace korvane
