#include "net/ConnectionReuse.h"

#include <strings.h>

namespace korvane {

namespace {

bool SameHost(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

bool MayReuseConnection(const ConnectionTarget& open, const HttpUrl& url,
                        const RequestHeaders& request) {
  const bool viaProxy = !request.ProxyServer.empty();
  if (open.ViaProxy != viaProxy || open.Tls != url.IsHttps()) return false;
  if (viaProxy && (!SameHost(open.Host, request.ProxyServer) || open.Port != request.ProxyPort)) {
    return false;
  }
  if (open.Tls) {
    return SameHost(open.OriginHost, url.Host) && open.OriginPort == url.EffectivePort() &&
           open.CaFile == request.CAFile;
  }
  return viaProxy || (SameHost(open.Host, url.Host) && url.HasPort() && open.Port == url.Port);
}

}  // namespace korvane
