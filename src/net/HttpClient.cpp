#include "net/HttpClient.h"

#include "net/HostResolver.h"
#include "net/HttpReplyReader.h"
#include "net/HttpRequest.h"
#include "net/HttpUrl.h"
#include "net/SocketErrors.h"

namespace korvane {
namespace {

// The real wait that stands for a nominal time-out.
Milliseconds RealTimeout(Milliseconds nominal) {
  if (nominal.count() <= 0) return Milliseconds(0);
  Milliseconds real = TheClock().RealTimeout(nominal);
  return real.count() > 0 ? real : RealTimeoutWhenClockSkipsWaits;
}

class ConnectionSource final : public ByteSource {
 public:
  ConnectionSource(TcpConnection& connection, Milliseconds realTimeout)
      : connection_(connection), realTimeout_(realTimeout) {}
  std::size_t Receive(char* buffer, std::size_t size) override {
    return connection_.Receive(buffer, size, realTimeout_);
  }

 private:
  TcpConnection& connection_;
  Milliseconds realTimeout_;
};

}  // namespace

HttpClient::HttpClient() = default;

HttpClient::~HttpClient() = default;

void HttpClient::CloseConnection() {
  connection_.Close();
  connectionTarget_ = ConnectionTarget();
}

void HttpClient::OpenConnection(const ConnectionTarget& target) {
  // A connection the server has closed, or that holds bytes nobody asked for, is released
  // silently rather than failing the request sent on it.
  if (connection_.IsOpen() && !connection_.IsReusable()) CloseConnection();
  if (connection_.IsOpen()) return;
  // What a connect to such a port would report; it could never reach the proxy.
  if (target.Port < 1 || target.Port > 65535) throw SocketError(WsaAddressNotAvailable);
  in_addr address = ResolveHost(target.Host);
  connection_.Connect(address, target.Port, RealTimeout(ConnectTimeout));
  connectionTarget_ = target;
}

void HttpClient::Get(const std::string& url, std::string& body) {
  responseCode_ = 0;
  responseText_.clear();

  // Everything that can refuse the request does so before a byte goes out.
  const HttpUrl parts = SplitUrl(url);
  const bool viaProxy = !Request.ProxyServer.empty();
  const std::string request = BuildGetRequest(Request, parts, viaProxy);

  if (connection_.IsOpen() && !MayReuseConnection(connectionTarget_, parts, Request)) {
    CloseConnection();
  }
  ConnectionTarget target;
  target.ViaProxy = viaProxy;
  target.Host = viaProxy ? Request.ProxyServer : parts.Host;
  target.Port = viaProxy ? Request.ProxyPort : (parts.HasPort() ? parts.Port : DefaultHttpPort);

  bool success = false;
  try {
    OpenConnection(target);
    const Milliseconds readTimeout = RealTimeout(ReadTimeout);
    connection_.SendAll(request, readTimeout);

    ConnectionSource source(connection_, readTimeout);
    HttpReplyReader reader(source);
    const HttpReplyHead head = reader.ReadHead();
    responseCode_ = head.Code;
    responseText_ = head.Text;
    const bool closedByServer = reader.ReadBody(head, body);
    success = head.IsSuccess();

    bool keepOpen = !closedByServer && !reader.HasUnreadBytes();
    if (success && (head.Version == "1.0" || head.ConnectionClose)) keepOpen = false;
    if (!keepOpen) CloseConnection();
  } catch (...) {
    CloseConnection();
    throw;
  }
  if (!success) throw HttpStatusError(responseCode_, responseText_);
}

}  // namespace korvane
