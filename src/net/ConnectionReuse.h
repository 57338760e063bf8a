#pragma once

#include <string>

#include "net/HttpUrl.h"
#include "net/RequestHeaders.h"

namespace korvane {

// What a client's open connection was opened to.
struct ConnectionTarget {
  std::string Host;  // the server's host, or the proxy server
  int Port = 0;
  bool ViaProxy = false;
  // A TLS session with OriginHost:OriginPort (through a proxy's tunnel when ViaProxy),
  // verified with the trust of CaFile.
  bool Tls = false;
  std::string OriginHost = {};
  int OriginPort = 0;
  std::string CaFile = {};
};

// Whether the open connection may carry the next request for `url` with these settings.
// http, direct: only a plain connection opened directly to the URL's host (any letter case)
// when the URL names that same port explicitly; so a URL without a port always gets a new
// connection. http through a proxy: a plain connection to the same proxy server and port,
// whatever the URL's host. https, direct or through the same proxy: a TLS session with the
// URL's host (any letter case) and port (443 when it names none) under the same CA file, so a
// worker pays one handshake, not one per tile.
// Whether the peer has meanwhile closed the connection is checked separately.
bool MayReuseConnection(const ConnectionTarget& open, const HttpUrl& url,
                        const RequestHeaders& request);

}  // namespace korvane
