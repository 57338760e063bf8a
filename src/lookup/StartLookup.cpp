#include "lookup/StartLookup.h"

#include "config/Config.h"
#include "lookup/ClassicLookup.h"
#include "lookup/CurrentLookup.h"
#include "lookup/MapTilesLookup.h"
#include "net/MapTilesAddresses.h"
#include "platform/NumberFormat.h"

namespace korvane {

void StartLookupResult::ApplyTo(TaskParameters& params) const {
  params.Protocol = Protocol;
  params.ImageWidth = ImageWidth;
  params.ImageHeight = ImageHeight;
  params.TileWidth = TileWidth;
  params.TileHeight = TileHeight;
  params.CaptureDate = CaptureDate;
}

std::string UnknownProtocolMessage(const std::string& protocolText) {
  return "Unknown service protocol \"" + protocolText + "\" in config.ini.";
}

std::string MissingZoomMessage(int zoom, int highestZoom) {
  return "This panorama has no zoom level " + IntToStr(zoom) + "; its highest is " +
         IntToStr(highestZoom) + ".";
}

StartLookupResult LookUpForStart(PanoramaProtocol protocol, HttpClient& client, double latitude,
                                 double longitude, int zoom,
                                 const std::function<void(const std::string&)>& addLogLine,
                                 const StartLookupHints& hints) {
  StartLookupResult result;
  if (protocol == PanoramaProtocol::Classic) {
    result.PanoId = LookUpPanorama(client, latitude, longitude, addLogLine);
    return result;
  }

  CurrentLookupAnswer answer;
  if (protocol == PanoramaProtocol::MapTiles) {
    result.MapTiles = hints.MapTiles
                          ? hints.MapTiles
                          : std::make_shared<MapTilesAccess>(MapTilesBase(), ReadApiKey());
    // A batch's panoIds request found nothing there: no request is worth paying for.
    if (hints.PanoId && hints.PanoId->empty()) return result;
    MapTilesMetadata metadata =
        hints.PanoId ? LookUpMapTilesPanoramaById(*result.MapTiles, client, *hints.PanoId,
                                                  addLogLine, result.Refused)
                     : LookUpMapTilesPanorama(*result.MapTiles, client, latitude, longitude,
                                              addLogLine, result.Refused);
    answer = std::move(metadata.Answer);
    result.Record = std::move(metadata.Record);
  } else {
    answer = LookUpCurrentPanorama(client, latitude, longitude, addLogLine);
  }
  if (answer.Kind != LookupAnswerKind::Found) return result;
  result.PanoId = answer.PanoId;
  result.Protocol = protocol;
  if (zoom < 0 || zoom > answer.HighestZoom()) {
    result.RefusalMessage = MissingZoomMessage(zoom, answer.HighestZoom());
    return result;
  }
  const PixelSize& size = answer.Sizes[static_cast<std::size_t>(zoom)];
  result.ImageWidth = size.Width;
  result.ImageHeight = size.Height;
  result.TileWidth = answer.TileSize.Width;
  result.TileHeight = answer.TileSize.Height;
  result.CaptureDate = answer.CaptureDate;
  result.PanoramaLine = PanoramaLine(answer, zoom);
  return result;
}

}  // namespace korvane
