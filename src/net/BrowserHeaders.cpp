#include "net/BrowserHeaders.h"

#include "net/ServiceAddresses.h"

namespace korvane {

void SetBrowserHeaders(HttpClient& client) {
  client.Request.Referer = MapHomePageUrl();
  client.Request.UserAgent = BrowserUserAgent;
  client.Request.Connection = BrowserConnection;
  client.Request.CAFile = ServiceCaFile();
}

}  // namespace korvane
