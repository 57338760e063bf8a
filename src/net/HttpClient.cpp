#include "net/HttpClient.h"

#include "net/HostResolver.h"
#include "net/HttpReplyReader.h"
#include "net/HttpRequest.h"
#include "net/HttpUrl.h"
#include "net/ReplyDeadline.h"
#include "net/SocketErrors.h"
#include "net/TlsChannel.h"
#include "net/TlsClientContext.h"

namespace korvane {
namespace {

// The real wait that stands for a nominal time-out.
Milliseconds RealTimeout(Milliseconds nominal) {
  if (nominal.count() <= 0) return Milliseconds(0);
  Milliseconds real = TheClock().RealTimeout(nominal);
  return real.count() > 0 ? real : RealTimeoutWhenClockSkipsWaits;
}

// The reply bytes of the open connection, decrypted when it carries TLS. Each receive waits at
// most the read time-out, and none goes beyond the request's deadline.
class ConnectionSource final : public ByteSource {
 public:
  ConnectionSource(TcpConnection& connection, TlsChannel* tls, Milliseconds realTimeout,
                   const ReplyDeadline& deadline)
      : connection_(connection), tls_(tls), realTimeout_(realTimeout), deadline_(deadline) {}
  std::size_t Receive(char* buffer, std::size_t size) override {
    const Milliseconds wait = deadline_.Bound(realTimeout_);
    if (tls_ != nullptr) return tls_->Receive(buffer, size, wait);
    return connection_.Receive(buffer, size, wait);
  }

 private:
  TcpConnection& connection_;
  TlsChannel* tls_;
  Milliseconds realTimeout_;
  const ReplyDeadline& deadline_;
};

}  // namespace

HttpClient::HttpClient() = default;

HttpClient::~HttpClient() {
  CloseConnection();
}

void HttpClient::CloseConnection() {
  if (tls_) {
    if (!abort_.IsRaised()) tls_->Shutdown();
    tls_.reset();
  }
  connection_.Close();
  connectionTarget_ = ConnectionTarget();
}

bool HttpClient::ConnectionIsReusable() {
  return tls_ ? tls_->IsReusable() : connection_.IsReusable();
}

void HttpClient::OpenTunnel(const ConnectionTarget& target, Milliseconds readTimeout,
                            const ReplyDeadline& deadline) {
  connection_.SendAll(BuildConnectRequest(Request, target.OriginHost, target.OriginPort),
                      deadline.Bound(readTimeout));
  ConnectionSource source(connection_, nullptr, readTimeout, deadline);
  HttpReplyReader reader(source);
  const HttpReplyHead head = reader.ReadHead();
  if (head.Code < 200 || head.Code > 299) {
    responseCode_ = head.Code;
    responseText_ = head.Text;
    throw HttpStatusError(head.Code, head.Text);
  }
  // The server speaks only after the client's first TLS message; anything earlier is the
  // proxy's and would be taken for TLS.
  if (reader.HasUnreadBytes()) {
    throw HttpClientError("The proxy sent bytes after accepting the tunnel; nothing was sent.");
  }
}

void HttpClient::StartTls(const ConnectionTarget& target, Milliseconds readTimeout,
                          const ReplyDeadline& deadline) {
  auto channel = std::make_unique<TlsChannel>(connection_, *tlsContext_);
  channel->Handshake(target.OriginHost, readTimeout, deadline);
  tls_ = std::move(channel);
}

void HttpClient::OpenConnection(const ConnectionTarget& target, const ReplyDeadline& deadline) {
  // A connection the server has closed, or that holds bytes nobody asked for, is released
  // silently rather than failing the request sent on it.
  if (connection_.IsOpen() && !ConnectionIsReusable()) CloseConnection();
  if (connection_.IsOpen()) return;
  // A CA file that cannot be used fails the first https request before anything goes out.
  if (target.Tls && (!tlsContext_ || tlsContext_->CaFile() != target.CaFile)) {
    tlsContext_.reset();
    tlsContext_ = TlsClientContext::Shared(target.CaFile);
  }
  // What a connect to such a port would report; it could never reach the proxy.
  if (target.Port < 1 || target.Port > 65535) throw SocketError(WsaAddressNotAvailable);
  const Milliseconds connectTimeout = RealTimeout(ConnectTimeout);
  // A name the resolver does not answer in time is "not found", whatever the deadline says.
  in_addr address = ResolveHost(target.Host, connectTimeout, &abort_);
  connection_.Connect(address, target.Port, deadline.Bound(connectTimeout));
  if (target.Tls) {
    const Milliseconds readTimeout = RealTimeout(ReadTimeout);
    if (target.ViaProxy) OpenTunnel(target, readTimeout, deadline);
    StartTls(target, readTimeout, deadline);
  }
  connectionTarget_ = target;
}

void HttpClient::Get(const std::string& url, std::string& body) {
  Send(url, nullptr, body);
}

void HttpClient::Post(const std::string& url, const std::string& contentType,
                      const std::string& requestBody, std::string& body) {
  const PostBody post{contentType, requestBody};
  Send(url, &post, body);
}

void HttpClient::Send(const std::string& url, const PostBody* post, std::string& body) {
  responseCode_ = 0;
  responseText_.clear();
  responseContentType_.clear();
  std::string location;
  std::string retryAfter;

  // Everything that can refuse the request does so before a byte goes out.
  const HttpUrl parts = SplitUrl(url);
  const bool viaProxy = !Request.ProxyServer.empty();
  const bool https = parts.IsHttps();
  // Inside a tunnel the request goes to the server itself.
  const std::string request = post == nullptr ? BuildGetRequest(Request, parts, viaProxy && !https)
                                              : BuildPostRequest(Request, parts, viaProxy && !https,
                                                                 post->ContentType, post->Body);
  if (https && viaProxy) BuildConnectRequest(Request, parts.Host, parts.EffectivePort());
  abort_.ThrowIfRaised();

  if (connection_.IsOpen() && !MayReuseConnection(connectionTarget_, parts, Request)) {
    CloseConnection();
  }
  ConnectionTarget target;
  target.ViaProxy = viaProxy;
  target.Host = viaProxy ? Request.ProxyServer : parts.Host;
  target.Port = viaProxy ? Request.ProxyPort : (parts.HasPort() ? parts.Port : DefaultHttpPort);
  if (https) {
    target.Tls = true;
    target.OriginHost = parts.Host;
    target.OriginPort = parts.EffectivePort();
    target.CaFile = Request.CAFile;
    if (!viaProxy) target.Port = target.OriginPort;
  }

  bool success = false;
  try {
    const ReplyDeadline deadline(RealTimeout(ReplyTimeout));
    OpenConnection(target, deadline);
    const Milliseconds readTimeout = RealTimeout(ReadTimeout);
    if (tls_) {
      tls_->SendAll(request, deadline.Bound(readTimeout));
    } else {
      connection_.SendAll(request, deadline.Bound(readTimeout));
    }

    ConnectionSource source(connection_, tls_.get(), readTimeout, deadline);
    HttpReplyReader reader(source, MaxBodyBytes);
    const HttpReplyHead head = reader.ReadHead();
    responseCode_ = head.Code;
    responseText_ = head.Text;
    responseContentType_ = head.ContentType;
    location = head.Location;
    retryAfter = head.RetryAfter;
    const bool closedByServer = reader.ReadBody(head, body);
    success = head.IsSuccess();

    bool keepOpen = !closedByServer && !reader.HasUnreadBytes() && !head.AmbiguousLength;
    if (success && (head.Version == "1.0" || head.ConnectionClose)) keepOpen = false;
    if (!keepOpen) CloseConnection();
  } catch (...) {
    CloseConnection();
    throw;
  }
  if (!success) throw HttpStatusError(responseCode_, responseText_, location, retryAfter);
}

}  // namespace korvane
