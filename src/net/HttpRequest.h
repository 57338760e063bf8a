#pragma once

#include <string>

#include "net/HttpUrl.h"
#include "net/RequestHeaders.h"

namespace korvane {

// The bytes of one GET request, each line ending in CR LF, in this order: request line, Host,
// Accept, Referer, User-Agent, Connection, Proxy-Authorization, the ExtraHeaders lines, the empty
// line. No body and no other header.
//
// Through a proxy the target is absolute (scheme "://" host, ":" port when the URL names one,
// then the path) so the proxy reaches the port the URL names; Host always names the URL's host
// without a port.
//
// Refuses with HttpClientError a header value or extra line holding CR, LF or NUL, which would
// split the request.
std::string BuildGetRequest(const RequestHeaders& headers, const HttpUrl& url, bool viaProxy);

}  // namespace korvane
