#pragma once

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
inline constexpr const char* ServiceSection = "Service";
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

}  // namespace korvane
