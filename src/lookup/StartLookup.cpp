#include "lookup/StartLookup.h"

#include "config/Config.h"
#include "lookup/CaptureChoice.h"
#include "lookup/ClassicLookup.h"
#include "lookup/CurrentLookup.h"
#include "lookup/MapTilesLookup.h"
#include "net/MapTilesAddresses.h"
#include "platform/NumberFormat.h"
#include "task/PanoramaRecordFile.h"

namespace korvane {

void StartLookupResult::ApplyTo(TaskParameters& params) const {
  params.Protocol = Protocol;
  params.ImageWidth = ImageWidth;
  params.ImageHeight = ImageHeight;
  params.TileWidth = TileWidth;
  params.TileHeight = TileHeight;
  params.CaptureDate = CaptureDate;
  params.Record = Record;
  params.StartedById = ById;
}

std::string UnknownProtocolMessage(const std::string& protocolText) {
  return "Unknown service protocol \"" + protocolText + "\" in config.ini.";
}

std::string MissingZoomMessage(int zoom, int highestZoom) {
  return "This panorama has no zoom level " + IntToStr(zoom) + "; its highest is " +
         IntToStr(highestZoom) + ".";
}

std::string OtherDateLine(const OtherCapture& capture) {
  return "Also taken " + (capture.Date ? CaptureMonthText(*capture.Date) : "at another date") +
         ": " + capture.PanoId;
}

namespace {

StartLookupResult LookUpClassic(HttpClient& client, double latitude, double longitude,
                                const std::function<void(const std::string&)>& addLogLine,
                                const LookupWish& wish) {
  StartLookupResult result;
  if (!wish.PanoId.empty()) {
    result.ById = true;
    result.RefusalMessage = ByIdNotOfferedMessage;
    return result;
  }
  ClassicLookupResult found = LookUpClassicPanorama(client, latitude, longitude, addLogLine);
  if (client.IsAborted()) return result;
  if (wish.Date) addLogLine(CaptureChoiceLine(ChooseCapture(found.Record, *wish.Date), *wish.Date));
  result.PanoId = std::move(found.PanoId);
  result.Record = std::move(found.Record);
  if (!result.PanoId.empty()) {
    result.Record.PanoId = result.PanoId;
    result.Record.Protocol = PanoramaProtocol::Classic;
  }
  return result;
}

// A protocol's two lookups that give a panorama's sizes and record: at a point, and by id.
struct SizedLookups {
  std::function<CurrentLookupAnswer()> AtPoint;
  std::function<CurrentLookupAnswer(const std::string&)> ById;
};

// The panorama the wish names: by id, or at the point (then by id when a month asks for another
// capture).
CurrentLookupAnswer LookUpWished(const SizedLookups& lookups, HttpClient& client,
                                 const std::function<void(const std::string&)>& addLogLine,
                                 const LookupWish& wish) {
  if (!wish.PanoId.empty()) return lookups.ById(wish.PanoId);
  CurrentLookupAnswer answer = lookups.AtPoint();
  if (answer.Kind != LookupAnswerKind::Found || !wish.Date || client.IsAborted()) return answer;
  const std::optional<CaptureChoice> choice = ChooseCapture(answer.Record, *wish.Date);
  addLogLine(CaptureChoiceLine(choice, *wish.Date));
  if (!choice || choice->PanoId == answer.PanoId) return answer;
  return lookups.ById(choice->PanoId);
}

// The Map Tiles API's metadata as the current lookup's answer, its record inside.
CurrentLookupAnswer WithRecord(MapTilesMetadata metadata) {
  CurrentLookupAnswer answer = std::move(metadata.Answer);
  answer.Record = std::move(metadata.Record);
  return answer;
}

}  // namespace

StartLookupResult LookUpForStart(PanoramaProtocol protocol, HttpClient& client, double latitude,
                                 double longitude, int zoom,
                                 const std::function<void(const std::string&)>& addLogLine,
                                 const LookupWish& wish, const StartLookupHints& hints) {
  if (protocol == PanoramaProtocol::Classic) {
    return LookUpClassic(client, latitude, longitude, addLogLine, wish);
  }

  StartLookupResult result;
  result.ById = !wish.PanoId.empty();
  SizedLookups lookups;
  if (protocol == PanoramaProtocol::MapTiles) {
    result.MapTiles = hints.MapTiles
                          ? hints.MapTiles
                          : std::make_shared<MapTilesAccess>(MapTilesBase(), ReadApiKey());
    // A batch's panoIds request found nothing there: no request is worth paying for.
    if (hints.PanoId && hints.PanoId->empty()) return result;
    MapTilesAccess& access = *result.MapTiles;
    lookups.ById = [&](const std::string& id) {
      return WithRecord(LookUpMapTilesPanoramaById(access, client, id, addLogLine, result.Refused));
    };
    lookups.AtPoint = [&] {
      if (hints.PanoId) return lookups.ById(*hints.PanoId);
      return WithRecord(
          LookUpMapTilesPanorama(access, client, latitude, longitude, addLogLine, result.Refused));
    };
  } else {
    lookups.ById = [&](const std::string& id) {
      return LookUpCurrentPanoramaById(client, id, addLogLine);
    };
    lookups.AtPoint = [&] {
      return LookUpCurrentPanorama(client, latitude, longitude, addLogLine);
    };
  }
  const CurrentLookupAnswer answer = LookUpWished(lookups, client, addLogLine, wish);
  if (answer.Kind != LookupAnswerKind::Found) return result;
  result.PanoId = answer.PanoId;
  result.Protocol = protocol;
  result.Record = answer.Record;
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
