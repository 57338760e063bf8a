#pragma once

#include <string>
#include <vector>

namespace korvane {

// The values a HttpClient builds its requests from. An empty text leaves its header out;
// ExtraHeaders lines are sent unchanged, even with an empty value.
struct RequestHeaders {
  std::string Accept = "text/html, */*";
  std::string Referer, UserAgent, Connection;
  // Empty ProxyServer: direct connections. Otherwise every request goes to
  // ProxyServer:ProxyPort with an absolute request target.
  std::string ProxyServer;
  int ProxyPort = 0;
  // Basic proxy credentials, sent only when ProxyServer and ProxyUsername are both set.
  std::string ProxyUsername, ProxyPassword;
  // Complete header lines ("Cookie: a=b"), without line end, sent in order.
  std::vector<std::string> ExtraHeaders;
  // A PEM file of certificates trusted for https besides the system's trust store; empty for
  // the system's alone. Not a header.
  std::string CAFile;
};

}  // namespace korvane
