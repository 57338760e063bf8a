#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Clock.h"

typedef struct ssl_st SSL;
typedef struct bio_st BIO;

namespace korvane {

class ReplyDeadline;
class TcpConnection;
class TlsClientContext;

// TLS over an open TcpConnection. OpenSSL only encrypts and decrypts, through memory buffers;
// every byte goes over the connection's own sends and receives, so the TLS traffic has the same
// time-outs, abort signal and SIGPIPE-free sends as plain HTTP. Used by one thread at a time;
// the connection must outlive the channel.
class TlsChannel {
 public:
  TlsChannel(TcpConnection& connection, const TlsClientContext& context);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // The handshake with `host` (a name gets SNI and a name check, a dotted IPv4 address an
  // address check), each of its waits bounded by realTimeout and all of them by the deadline.
  // Raises TlsError ("SSL negotiation
  // failed: ...") for a refused certificate, a name the check cannot be set up for, a protocol
  // failure or the server closing during the handshake; SocketError for a reset or a time-out.
  void Handshake(const std::string& host, Milliseconds realTimeout, const ReplyDeadline& deadline);

  // Like TcpConnection::SendAll and Receive; a broken record raises TlsError. Receive returns 0
  // when the server has ended the TLS session (close_notify); a connection closed without it
  // raises ConnectionClosedError, since the data may have been cut short.
  void SendAll(std::string_view bytes, Milliseconds realTimeout);
  std::size_t Receive(char* buffer, std::size_t size, Milliseconds realTimeout);

  // TcpConnection::IsReusable for the TLS session: false when the server has closed, or has
  // sent application data nobody asked for. Session tickets and other TLS housekeeping that
  // arrived meanwhile are taken in. Does not wait.
  bool IsReusable();

  // Says goodbye (close_notify) when that needs no wait; the connection is closed by its owner.
  void Shutdown();

 private:
  // Sets the name (and SNI) or the address the certificate must be valid for; TlsError when
  // OpenSSL refuses it.
  void SetExpectedPeer(const std::string& host);
  // Sends what OpenSSL has written into its output buffer.
  void Flush(Milliseconds realTimeout);
  // Feeds bytes from the connection to OpenSSL; false when the peer has closed.
  bool Pull(Milliseconds realTimeout);

  TcpConnection& connection_;
  SSL* ssl_ = nullptr;
  BIO* input_ = nullptr;   // owned by ssl_
  BIO* output_ = nullptr;  // owned by ssl_
  bool established_ = false;
};

// Handshakes completed in this process (for the benchmark and the reuse tests).
long TlsHandshakeCount();

}  // namespace korvane
