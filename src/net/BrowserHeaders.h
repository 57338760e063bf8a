#pragma once

#include "net/HttpClient.h"

namespace korvane {

// The header values every caller presents to the service, set on a new client before its first
// request: Referer = MapHomePageUrl(), the browser's User-Agent text, and Connection
// "Keep_Alive" (spelled with an underscore and sent as it is). Also the service's CA file
// (ServiceCaFile), so every caller trusts what the configuration says for https.
void SetBrowserHeaders(HttpClient& client);

inline constexpr const char* BrowserUserAgent =
    "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)";
inline constexpr const char* BrowserConnection = "Keep_Alive";

}  // namespace korvane
