#include "net/ConnectionReuse.h"

#include <strings.h>

namespace korvane {

bool MayReuseConnection(const ConnectionTarget& open, const HttpUrl& url,
                        const RequestHeaders& request) {
  if (!request.ProxyServer.empty()) {
    return open.ViaProxy && strcasecmp(open.Host.c_str(), request.ProxyServer.c_str()) == 0 &&
           open.Port == request.ProxyPort;
  }
  return !open.ViaProxy && strcasecmp(open.Host.c_str(), url.Host.c_str()) == 0 && url.HasPort() &&
         open.Port == url.Port;
}

}  // namespace korvane
