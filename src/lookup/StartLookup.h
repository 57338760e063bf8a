#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"
#include "task/PanoramaProtocol.h"
#include "task/PanoramaRecord.h"
#include "task/TaskParameters.h"

namespace korvane {

// What a start asks beyond the place: that panorama id instead of the panorama nearest the
// point (the place is then not looked up), or the capture of that month at the place.
struct LookupWish {
  std::string PanoId;
  std::optional<CaptureMonth> Date;
};

// The box shown when a panorama is asked for by id and the protocol has no by-id request.
inline constexpr const char* ByIdNotOfferedMessage =
    "Looking a panorama up by its id is not offered by the classic protocol.";

// The panorama step of Start, whichever protocol the service speaks.
struct StartLookupResult {
  // The id found; empty when there is no panorama (Start shows the no-panorama box).
  std::string PanoId;
  // The box to show instead of starting: the panorama has no such zoom level, or (with no id)
  // the protocol cannot look a panorama up by id. Empty otherwise.
  std::string RefusalMessage;
  // The line that describes the panorama ("Panorama: 16384x8192 at zoom 5, taken 2019-07");
  // empty for the classic protocol, which tells nothing about it.
  std::string PanoramaLine;

  // The protocol that found it, and for a current panorama its size at the zoom level, its
  // tile size and when it was taken.
  PanoramaProtocol Protocol = PanoramaProtocol::Classic;
  int ImageWidth = 0;
  int ImageHeight = 0;
  int TileWidth = 0;
  int TileHeight = 0;
  std::string CaptureDate;
  // All the answer told of the panorama (each protocol fills what it carries); written beside
  // the task file when the task starts.
  PanoramaRecord Record;
  // The Map Tiles API: the run's session and key, which the workers go on with; null for the
  // other protocols.
  std::shared_ptr<MapTilesAccess> MapTiles;
  // The service refused the key, the API or billing: its line is out, and Start ends without
  // the no-panorama box.
  bool Refused = false;

  // The panorama was asked for by its id.
  bool ById = false;

  // Copies the kind, the panorama's size and date, the record and how it was found into the
  // task's parameters.
  void ApplyTo(TaskParameters& params) const;
};

// "Unknown service protocol \"X\" in config.ini."
std::string UnknownProtocolMessage(const std::string& protocolText);

// "This panorama has no zoom level Z; its highest is N."
std::string MissingZoomMessage(int zoom, int highestZoom);

// What a batch of the Map Tiles API knows before a place's start: the batch's one session,
// and the place's panorama as the batch's panoIds request found it ("": none there). Empty:
// the start opens its own session and looks the point up.
struct StartLookupHints {
  std::shared_ptr<MapTilesAccess> MapTiles;
  std::optional<std::string> PanoId;
};

// Looks the panorama at the point up with the protocol's lookup (LookUpClassicPanorama,
// LookUpCurrentPanorama, or the Map Tiles API's metadata on the hints' session or a new one,
// over client; their lines go to addLogLine) and, for today's protocols, checks that it has the
// zoom level. With a wished id (or the hints' id), today's protocols ask for that panorama by id
// instead and the classic one refuses (ByIdNotOfferedMessage); with a
// wished month, the capture ChooseCapture picks is taken (by id when it is another panorama)
// and a line says which. Raises what the lookups raise. An Abort on client stops it at once
// (then client.IsAborted() and the result means nothing).
StartLookupResult LookUpForStart(PanoramaProtocol protocol, HttpClient& client, double latitude,
                                 double longitude, int zoom,
                                 const std::function<void(const std::string&)>& addLogLine,
                                 const LookupWish& wish = {}, const StartLookupHints& hints = {});

// "Also taken 2015-03: ID" (the date part "at another date" when unknown): the log line of one
// of the other dates a lookup found.
std::string OtherDateLine(const OtherCapture& capture);

}  // namespace korvane
