#pragma once

#include <memory>
#include <string>

#include "net/AbortSignal.h"
#include "net/ConnectionReuse.h"
#include "net/HttpErrors.h"
#include "net/HttpLimits.h"
#include "net/RequestHeaders.h"
#include "net/TcpConnection.h"
#include "platform/Clock.h"

namespace korvane {

class ReplyDeadline;
class TlsChannel;
class TlsClientContext;

// The program's HTTP/1.1 client: GET requests, and POST requests with a body, over plain TCP or TLS
// (https), directly or through an HTTP proxy (https through the proxy's CONNECT tunnel). One object
// per user (the lookup, each worker, each re-download run), used by one thread at a time, except
// Abort; objects may be created and destroyed on several threads at once.
//
// Connections: at most one open connection; when it may be reused is ConnectionReuse.h's rule.
class HttpClient {
 public:
  HttpClient();
  ~HttpClient();
  HttpClient(const HttpClient&) = delete;
  HttpClient& operator=(const HttpClient&) = delete;

  RequestHeaders Request;

  // One GET of an absolute http or https URL; appends the reply body to `body` (callers pass an
  // empty buffer). Returns only on success: a status from 200 to 299 without a Location.
  // Otherwise raises:
  //   HttpStatusError  a complete reply that is not a success (its body has been read,
  //                          so the connection can carry the next request), or a proxy's
  //                          refusal of the tunnel ("407 Proxy Authentication Required");
  //   SocketError         resolve, connect, send or receive failed, or timed out (10060),
  //                          also when the whole request (connect, proxy tunnel, TLS
  //                          handshake, request and reply) took longer than ReplyTimeout;
  //                          a name the resolver does not answer within the connect time-out
  //                          is not found (11001);
  //   ConnectionClosedError the server closed before the reply was complete;
  //   EConvertError          the status line's number is not a decimal number;
  //   TlsError               the CA file, the TLS handshake (certificate, host name,
  //                          protocol) or a TLS record failed;
  //   RequestAbortedError    Abort was called;
  //   HttpClientError           a URL or header that would not make one clean request (nothing
  //                          is sent), or a reply beyond the client's limits.
  // After every failure but HttpStatusError the connection is closed, since what is left
  // on it cannot be told apart from the next reply. The client never retries and never waits
  // beyond the time-outs. `Request` is never changed.
  void Get(const std::string& url, std::string& body);

  // One POST of requestBody (with its Content-Type and Content-Length) to url, through the
  // proxy and its tunnel like Get; the reply, the failures and the connection as for Get.
  void Post(const std::string& url, const std::string& contentType, const std::string& requestBody,
            std::string& body);

  // Thread-safe, callable from any thread while another thread is inside Get: the request in
  // flight ends at once, whatever it waits for (a name lookup, the connect, the TLS handshake,
  // the proxy, a send, a receive), with RequestAbortedError, and its connection is closed. The
  // abort stays in force: every later Get raises RequestAbortedError at once, before sending,
  // until ClearAbort. Never blocks, never throws. The client must outlive the call.
  void Abort() noexcept { abort_.Raise(); }
  bool IsAborted() const noexcept { return abort_.IsRaised(); }
  // For the thread that uses the client: lets Get work again after an Abort.
  void ClearAbort() noexcept { abort_.Clear(); }

  // The status number and reply text ("404 Not Found") of the last reply; 0 and empty when
  // the last Get received no status line.
  int ResponseCode() const { return responseCode_; }
  const std::string& ResponseText() const { return responseText_; }
  // The Content-Type of the last reply; empty when it had none or no reply came.
  const std::string& ResponseContentType() const { return responseContentType_; }

  // Nominal time-outs; the real wait is TheClock().RealTimeout(timeout). A non-positive value
  // does not wait at all.
  Milliseconds ConnectTimeout = DefaultConnectTimeout;
  Milliseconds ReadTimeout = DefaultReadTimeout;
  Milliseconds ReplyTimeout = DefaultReplyTimeout;
  // The largest reply body taken; a longer one raises HttpClientError. Callers that expect a
  // small answer lower it, so a hostile server cannot make them hold and parse a huge one.
  std::size_t MaxBodyBytes = MaxReplyBodyBytes;

 private:
  struct PostBody {
    const std::string& ContentType;
    const std::string& Body;
  };
  // One request: a GET without post, a POST with it.
  void Send(const std::string& url, const PostBody* post, std::string& body);
  void OpenConnection(const ConnectionTarget& target, const ReplyDeadline& deadline);
  void OpenTunnel(const ConnectionTarget& target, Milliseconds readTimeout,
                  const ReplyDeadline& deadline);
  void StartTls(const ConnectionTarget& target, Milliseconds readTimeout,
                const ReplyDeadline& deadline);
  bool ConnectionIsReusable();
  void CloseConnection();

  AbortSignal abort_;  // before the connection, which watches it
  TcpConnection connection_{&abort_};
  // Taken at the first https request; shared with the other clients of the process.
  std::shared_ptr<const TlsClientContext> tlsContext_;
  std::unique_ptr<TlsChannel> tls_;    // the open connection's TLS session, if any
  ConnectionTarget connectionTarget_;  // what the open connection was opened to
  int responseCode_ = 0;
  std::string responseText_;
  std::string responseContentType_;
};

}  // namespace korvane
