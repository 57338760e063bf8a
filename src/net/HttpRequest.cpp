#include "net/HttpRequest.h"

#include "net/Base64.h"
#include "net/HttpErrors.h"
#include "net/HttpLimits.h"

namespace korvane {
namespace {

void RefuseLineBreaks(const std::string& value) {
  if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos) {
    throw HttpClientError("A request header holds a line break or a NUL byte; nothing was sent.");
  }
}

void AddHeader(std::string& request, const char* name, const std::string& value) {
  if (value.empty()) return;
  RefuseLineBreaks(value);
  request += name;
  request += ": ";
  request += value;
  request += "\r\n";
}

void AddProxyAuthorization(std::string& request, const RequestHeaders& headers) {
  if (!headers.ProxyServer.empty() && !headers.ProxyUsername.empty()) {
    AddHeader(request, "Proxy-Authorization",
              "Basic " + Base64Encode(headers.ProxyUsername + ":" + headers.ProxyPassword));
  }
}

// The host as the server must see it: with the port unless it is the scheme's own, so a
// server on another port can tell which of its names and ports was meant, while the request
// to a default port reads exactly as it always has.
std::string HostHeaderValue(const HttpUrl& url) {
  const int defaultPort = url.IsHttps() ? DefaultHttpsPort : DefaultHttpPort;
  if (!url.HasPort() || url.Port == defaultPort) return url.Host;
  return url.Host + ":" + std::to_string(url.Port);
}

}  // namespace

namespace {

// The request line and headers every method shares; the caller adds its own lines and the
// empty line.
std::string RequestHead(const char* method, const RequestHeaders& headers, const HttpUrl& url,
                        bool viaProxy) {
  std::string request;
  request.reserve(512);
  request += method;
  request += ' ';
  if (viaProxy) {
    request += url.Scheme;
    request += "://";
    request += url.Host;
    if (url.HasPort()) {
      request += ':';
      request += std::to_string(url.Port);
    }
  }
  request += url.Target;
  request += " HTTP/1.1\r\n";
  AddHeader(request, "Host", HostHeaderValue(url));
  AddHeader(request, "Accept", headers.Accept);
  AddHeader(request, "Referer", headers.Referer);
  AddHeader(request, "User-Agent", headers.UserAgent);
  AddHeader(request, "Connection", headers.Connection);
  if (viaProxy) AddProxyAuthorization(request, headers);
  for (const std::string& line : headers.ExtraHeaders) {
    RefuseLineBreaks(line);
    request += line;
    request += "\r\n";
  }
  return request;
}

}  // namespace

std::string BuildGetRequest(const RequestHeaders& headers, const HttpUrl& url, bool viaProxy) {
  return RequestHead("GET", headers, url, viaProxy) + "\r\n";
}

std::string BuildPostRequest(const RequestHeaders& headers, const HttpUrl& url, bool viaProxy,
                             const std::string& contentType, const std::string& body) {
  std::string request = RequestHead("POST", headers, url, viaProxy);
  if (contentType.empty()) throw HttpClientError("A request body needs its Content-Type.");
  AddHeader(request, "Content-Type", contentType);
  request += "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  return request + body;
}

std::string BuildConnectRequest(const RequestHeaders& headers, const std::string& host, int port) {
  const std::string authority = host + ":" + std::to_string(port);
  std::string request = "CONNECT " + authority + " HTTP/1.1\r\n";
  AddHeader(request, "Host", authority);
  AddProxyAuthorization(request, headers);
  request += "\r\n";
  return request;
}

}  // namespace korvane
