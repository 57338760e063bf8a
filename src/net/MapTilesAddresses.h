#pragma once

#include <string>

namespace korvane {

// The addresses of the Map Tiles API. Every address here is the one Korvane prints, logs and
// stores (the failed list, the log): it never carries the key or the session. WithCredentials
// adds them at the moment of sending, and WithoutCredentials takes them out of any address
// before it is shown, so a secret cannot reach a file or a terminal by way of an address.
//
//   MapTilesBase:  scheme + host [+ port] of the API ("[Service] MapTilesBase").
inline constexpr const char* MapTilesBaseKey = "MapTilesBase";
inline constexpr const char* DefaultMapTilesBase = "https://tile.googleapis.com";
// The radius, in metres, around a point within which a panorama is looked for.
inline constexpr int MapTilesSearchRadius = 50;

// MapTilesBase without a trailing "/".
std::string MapTilesBase();

// base + "/v1/createSession"
std::string MapTilesSessionUrl(const std::string& base);
// base + "/v1/streetview/metadata?lat=&lng=&radius=50", the point written as the other lookups
// write it ("." decimal separator in any locale).
std::string MapTilesMetadataUrl(const std::string& base, double latitude, double longitude);
// base + "/v1/streetview/metadata?panoId=ID": the metadata of a panorama already found.
std::string MapTilesPanoramaMetadataUrl(const std::string& base, const std::string& panoId);
// base + "/v1/streetview/tiles/Z/X/Y?panoId=ID"
std::string MapTilesTileUrl(const std::string& base, const std::string& panoId, int x, int y,
                            int zoom);
// base + "/v1/streetview/panoIds"
std::string MapTilesPanoIdsUrl(const std::string& base);

// The address with "session=" (when session is not empty) and "key=" appended as query
// parameters, in that order.
std::string WithCredentials(const std::string& address, const std::string& session,
                            const std::string& key);

// The address without any "key=" or "session=" parameter (and the "?" or "&" that joined it);
// any other text unchanged.
std::string WithoutCredentials(const std::string& address);

// A credential Korvane is willing to put into an address: 1 to MaxCredentialLength characters
// of letters, digits, "-", "_" and "." (what keys and session tokens are made of), so that
// neither a key typed with a stray blank nor a hostile session token can bend the request.
inline constexpr std::size_t MaxCredentialLength = 512;
bool IsSafeCredential(const std::string& text);

}  // namespace korvane
