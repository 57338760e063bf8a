#pragma once

#include <optional>
#include <string>

namespace korvane {

// The answers of the Map Tiles API that are not about one panorama, read as hostile input:
// every text is made printable and bounded, every number range-checked.

// The longest text of an error answer kept for the log; a longer one is cut.
inline constexpr std::size_t MaxErrorMessageLength = 300;

// The service's error answer: {"error":{"code":N,"message":"...","status":"..."}}.
struct MapTilesError {
  int Code = 0;
  std::string Message;  // printable, at most MaxErrorMessageLength characters
  std::string Status;   // e.g. "INVALID_ARGUMENT", "PERMISSION_DENIED", "RESOURCE_EXHAUSTED"
};

// The error of an answer body; nothing when the body is no such JSON object.
std::optional<MapTilesError> ParseMapTilesError(const std::string& body);

// What the error means for the caller.
enum class MapTilesErrorMeaning {
  SessionRefused,  // the session expired or is not known: open a new one
  AccessRefused,   // the key, the API's enabling or billing: nothing helps but the user
  Other,           // judge by the reply's status (429 push-back, 404 not found, ...)
};
MapTilesErrorMeaning MeaningOf(const MapTilesError& error);

// "Map Tiles API: " + the error's message (its status when it has no message).
std::string MapTilesErrorLine(const MapTilesError& error);

// The answer of createSession: the token, when it expires (seconds since the epoch) and the
// tiles it promises. Refused (nothing, with problem set) unless the token is a safe credential,
// the expiry a positive number and the tiles 512-pixel squares of JPEG, as the download
// expects.
struct MapTilesSessionAnswer {
  std::string Session;
  long long Expiry = 0;
  int TileWidth = 0;
  int TileHeight = 0;
  std::string ImageFormat;
};
std::optional<MapTilesSessionAnswer> ParseSessionAnswer(const std::string& body,
                                                        std::string& problem);

// The body of createSession for Street View.
std::string SessionRequestBody();

}  // namespace korvane
