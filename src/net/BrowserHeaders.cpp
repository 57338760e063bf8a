#include "net/BrowserHeaders.h"

#include "net/ServiceAddresses.h"

namespace korvane {

void SetBrowserHeaders(HttpClient& client) {
  client.Request.Referer = MapHomePageUrl();
  client.Request.UserAgent = BrowserUserAgent;
  client.Request.Connection = BrowserConnection;
  client.Request.CAFile = ServiceCaFile();
}

void SetCurrentBrowserHeaders(HttpClient& client) {
  client.Request.Referer.clear();
  client.Request.UserAgent = CurrentUserAgent;
  client.Request.Accept = CurrentAccept;
  client.Request.Connection = CurrentConnection;
  client.Request.CAFile = ServiceCaFile();
}

}  // namespace korvane
