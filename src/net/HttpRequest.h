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
// then the path) so the proxy reaches the port the URL names, and the proxy's credentials go
// along; an https request through a proxy's tunnel is a direct request (viaProxy false), so the
// proxy's credentials never reach the server. Host names the URL's host, with ":" port when the
// URL names a port other than its scheme's default (80 for http, 443 for https).
//
// Refuses with HttpClientError a header value or extra line holding CR, LF or NUL, which would
// split the request.
std::string BuildGetRequest(const RequestHeaders& headers, const HttpUrl& url, bool viaProxy);

// The bytes of one POST request: the lines of BuildGetRequest with "POST", then Content-Type,
// Content-Length (the body's bytes), the empty line and the body. Refuses like BuildGetRequest,
// and an empty content type.
std::string BuildPostRequest(const RequestHeaders& headers, const HttpUrl& url, bool viaProxy,
                             const std::string& contentType, const std::string& body);

// The request that asks a proxy for a tunnel to host:port: "CONNECT host:port HTTP/1.1",
// "Host: host:port", and Proxy-Authorization when ProxyUsername is set (as for GET). Refuses
// like BuildGetRequest.
std::string BuildConnectRequest(const RequestHeaders& headers, const std::string& host, int port);

}  // namespace korvane
