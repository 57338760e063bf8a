#pragma once

#include <string>

namespace korvane {

// An absolute http or https URL split for a request.
struct HttpUrl {
  std::string Scheme;  // as written, e.g. "http", "HTTPS"
  std::string Host;    // without the port
  int Port = 0;        // the explicit port, 0 when the URL names none
  std::string Target;  // from the first "/" after the host, without any "#" part; starts with "/"

  bool HasPort() const { return Port != 0; }
  // Whether the request goes over TLS (scheme https in any letter case).
  bool IsHttps() const;
  // The explicit port, else 80 for http and 443 for https.
  int EffectivePort() const;
};

// Splits a URL: scheme before "://", host up to the first "/" (or "?" or "#"), an optional
// ":port" at the end of the host part, then the request target. Back-slashes count as forward
// slashes. The query is kept exactly as written: nothing is percent-encoded or decoded.
//
// Refuses, with HttpClientError and before anything is sent, a URL that could not be sent as one
// request line: one holding a control character, DEL or a blank (which could inject header
// lines), a scheme other than http or https, no host, or a port that is not a number from 1 to
// 65535. The error texts do not repeat the URL, whose query could hold digits the callers classify
// by.
HttpUrl SplitUrl(const std::string& url);

}  // namespace korvane
