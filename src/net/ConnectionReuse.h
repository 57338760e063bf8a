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
};

// Whether the open connection may carry the next request for `url` with these settings.
// Direct: only a connection opened directly to the URL's host (any letter case) when the URL
// names that same port explicitly; so a URL without a port always gets a new connection.
// Through a proxy: a connection to the same proxy server and port, whatever the URL's host.
// Whether the peer has meanwhile closed the connection is checked separately.
bool MayReuseConnection(const ConnectionTarget& open, const HttpUrl& url,
                        const RequestHeaders& request);

}  // namespace korvane
