#pragma once

#include <string>

#include "net/ConnectionReuse.h"
#include "net/HttpErrors.h"
#include "net/HttpLimits.h"
#include "net/RequestHeaders.h"
#include "net/SocketLayer.h"
#include "net/TcpConnection.h"
#include "platform/Clock.h"

namespace korvane {

// The program's HTTP/1.1 client: GET requests only, over plain TCP, directly or through an HTTP
// proxy. One object per user (the lookup, each worker, each re-download run), used by one thread
// at a time; objects may be created and destroyed on several threads at once.
//
// Connections: at most one open connection. A direct request reuses it only for the same host
// (any letter case) and the same explicit port; a URL without a port always gets a new
// connection. Through a proxy the connection to the proxy is reused while it stays open.
class HttpClient {
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  RequestHeaders Request;

  // One GET of an absolute http URL; appends the reply body to `body` (callers pass an empty
  // buffer). Returns only on success: a status from 200 to 299 without a Location. Otherwise
  // raises:
  //   HttpStatusError  a complete reply that is not a success (its body has been read,
  //                          so the connection can carry the next request);
  //   SocketError         resolve, connect, send or receive failed, or timed out (10060);
  //   ConnectionClosedError the server closed before the reply was complete;
  //   EConvertError          the status line's number is not a decimal number;
  //   HttpClientError           a URL or header that would not make one clean request (nothing
  //                          is sent), or a reply beyond the client's limits.
  // After every failure but HttpStatusError the connection is closed, since what is left
  // on it cannot be told apart from the next reply. The client never retries and never waits
  // beyond the time-outs. `Request` is never changed.
  void Get(const std::string& url, std::string& body);

  // The status number and reply text ("404 Not Found") of the last reply; 0 and empty when
  // the last Get received no status line.
  int ResponseCode() const { return responseCode_; }
  const std::string& ResponseText() const { return responseText_; }

  // Nominal time-outs; the real wait is TheClock().RealTimeout(timeout). A non-positive value
  // does not wait at all.
  Milliseconds ConnectTimeout = DefaultConnectTimeout;
  Milliseconds ReadTimeout = DefaultReadTimeout;

 private:
  void OpenConnection(const ConnectionTarget& target);
  void CloseConnection();

  SocketLayerUse socketLayer_;  // first member: the layer is started before anything else
  TcpConnection connection_;
  ConnectionTarget connectionTarget_;  // what the open connection was opened to
  int responseCode_ = 0;
  std::string responseText_;
};

}  // namespace korvane
