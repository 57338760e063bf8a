#pragma once

#include <optional>
#include <string>

namespace korvane {

// Where the Street View service is reached: the configuration's "Service" section. Read on
// demand like every other setting.
//   Server0..Server3: host, or host:port, of tile server N (Server0 also answers metadata);
//                     defaults cbk0.google.com .. cbk3.google.com.
//   HomePage:         the map service's home page, default "http://maps.google.com/".
//   CAFile:           a PEM file of certificates to trust for https besides the system's
//                     trust store (a company proxy that re-signs traffic, a test service);
//                     default none.
//   Protocol:         which service to speak, a PanoramaProtocol's name ("current", the
//                     default, or "classic": the cbk servers above), case-insensitive.
//   LookupBase:       scheme + host [+ port] of the current protocol's lookup.
//   TileBase:         scheme + host [+ port] of the current protocol's tiles.
//   ByIdBase:         scheme + host [+ port] of the current protocol's by-id request; when
//                     absent, LookupBase when that is set (a mirror or stand-in serves both),
//                     else the service's own.
inline constexpr const char* ServiceSection = "Service";
inline constexpr const char* ProtocolKey = "Protocol";
inline constexpr const char* LookupBaseKey = "LookupBase";
inline constexpr const char* TileBaseKey = "TileBase";
inline constexpr const char* ByIdBaseKey = "ByIdBase";
// The name a configuration without a Protocol key stands for.
inline constexpr const char* DefaultProtocolName = "current";
inline constexpr const char* DefaultLookupBase = "https://maps.googleapis.com";
inline constexpr const char* DefaultTileBase = "https://streetviewpixels-pa.googleapis.com";
inline constexpr const char* DefaultByIdBase = "https://www.google.com";
// How far from the point the current lookup searches, in metres, unless its caller says.
inline constexpr int DefaultLookupRadiusMetres = 50;
inline constexpr int StreetViewServerCount = 4;

// The host (or host:port) of Street View server number serverNumber (0..3).
std::string StreetViewHost(int serverNumber);

// The map service's home page: Referer of every request and key of the cookie lookup.
std::string MapHomePageUrl();

// The CAFile value, as written; empty when not set.
std::string ServiceCaFile();

// "http://" + server 0 + "/cbk?output=xml&ll=" + latitude + "," + longitude, each coordinate
// in the general number format with "." as the decimal separator whatever the user's locale: a
// comma inside the coordinates would make the pair unreadable ("48,5,2" is 48.5,2 or 48,5.2).
std::string MetadataUrl(double latitude, double longitude);

// The protocol's name as the configuration holds it (DefaultProtocolName when absent). Not
// checked: ParsePanoramaProtocol tells whether it names one.
std::string ServiceProtocolText();

// LookupBase and TileBase without a trailing "/".
std::string LookupBase();
std::string TileBase();

// The current protocol's lookup address for a point, the coordinates written as MetadataUrl
// writes them, searching radiusMetres around it.
std::string CurrentLookupUrl(double latitude, double longitude,
                             int radiusMetres = DefaultLookupRadiusMetres);

// ByIdBase as described above, without a trailing "/".
std::string ByIdBase();

// The current protocol's by-id metadata request for a panorama id (one IsUsablePanoId
// accepts, so it needs no escaping).
std::string PanoramaByIdUrl(const std::string& panoId);

}  // namespace korvane
