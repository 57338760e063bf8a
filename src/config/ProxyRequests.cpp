#include "config/ProxyRequests.h"

#include "platform/NumberFormat.h"

namespace korvane {

void ApplyProxySettings(const ProxySettings& proxy, RequestHeaders& request) {
  if (!proxy.UseProxy) return;
  request.ProxyPort = StrToInt(proxy.ProxyPort);
  request.ProxyServer = proxy.ProxyServer;
  request.ProxyUsername = proxy.ProxyUsername;
  request.ProxyPassword = proxy.ProxyPassword;
}

}  // namespace korvane
