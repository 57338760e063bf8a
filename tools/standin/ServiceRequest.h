#pragma once

#include <string>
#include <string_view>

namespace korvane::standin {

// How far a lookup searches when its request names no radius (the service's own default).
inline constexpr double DefaultLookupRadiusMetres = 50.0;

// ById: today's lookup of one panorama by its id. MapTiles: a request of the Map Tiles API other
// than a tile (its session, metadata, panoIds).
enum class RequestKind { Metadata, Tile, Lookup, ById, MapTiles, Other };

// Which protocol a tile request speaks.
enum class TileProtocol { Classic, Current, MapTiles };

// The calls of the Map Tiles API.
enum class MapTilesCall { None, CreateSession, Metadata, Tile, PanoIds };

// What a request asks of the service:
//   metadata  GET /cbk?output=xml&ll=LAT,LON                                     (classic)
//   tile      GET /cbk?output=tile&panoid=ID&x=X&y=Y&zoom=Z                      (classic)
//   lookup    GET /maps/api/js/GeoPhotoService.SingleImageSearch?pb=...!3dLAT!4dLON...
//                 &callback=NAME                                                 (current)
//   by id     GET /maps/photometa/v1?...&pb=...!1e2!2sID!...                   (current)
//   tile      GET /v1/tile?cb_client=...&panoid=ID&x=X&y=Y&zoom=Z                (current)
//   session   POST /v1/createSession?key=KEY                                      (Map Tiles API)
//   metadata  GET /v1/streetview/metadata?session=S&key=KEY&lat=LAT&lng=LON&radius=R
//             GET /v1/streetview/metadata?session=S&key=KEY&panoId=ID
//   tile      GET /v1/streetview/tiles/Z/X/Y?session=S&key=KEY&panoId=ID
//   panoIds   POST /v1/streetview/panoIds?session=S&key=KEY
// Parameters may come in any order; their values may be percent-encoded.
struct ServiceRequest {
  RequestKind Kind = RequestKind::Other;
  // Why the request cannot be answered (unknown path, malformed query, another method); the
  // service then answers 400. Empty for a request it can answer.
  std::string Problem;
  double Latitude = 0.0;  // metadata, lookup; by id: the id's place when it is one of ours
  double Longitude = 0.0;
  std::string Callback;  // lookup: the name the answer calls
  // lookup: how far around the point to search (the pb's !2d), DefaultLookupRadiusMetres when
  // the request names no radius
  double RadiusMetres = DefaultLookupRadiusMetres;
  TileProtocol Protocol = TileProtocol::Classic;  // tile
  std::string PanoId;                             // tile, by id
  int X = 0;
  int Y = 0;
  int Zoom = 0;
  MapTilesCall Call = MapTilesCall::None;  // the Map Tiles API's requests
  std::string Key;                         // their key= and session= parameters
  std::string Session;

  bool Valid() const { return Problem.empty(); }
};

ServiceRequest ClassifyRequest(std::string_view method, std::string_view target);

// The target as attempts are counted: its origin form without the Map Tiles API's "key=" and
// "session=" parameters, so a tile asked again on a new session is the same tile's next
// attempt.
std::string CountedTarget(std::string_view target);

// The target in origin form: an absolute target "http://host[:port]/path?query" (as a client
// sends it to a proxy) loses its scheme and host. Other targets are returned unchanged.
std::string OriginForm(std::string_view target);

}  // namespace korvane::standin
