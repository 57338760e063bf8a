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

// The headers today's service expects of a current desktop browser, for its lookup and tiles:
// that browser's User-Agent, "Accept: */*", "Connection: keep-alive", and no Referer (the old
// home page means nothing to it). Also the CA file, as above. Callers send a Cookie line only
// when they have cookies.
void SetCurrentBrowserHeaders(HttpClient& client);

inline constexpr const char* CurrentUserAgent =
    "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) "
    "Chrome/131.0.0.0 Safari/537.36";
inline constexpr const char* CurrentAccept = "*/*";
inline constexpr const char* CurrentConnection = "keep-alive";

}  // namespace korvane
