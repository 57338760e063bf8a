#include "net/TlsChannel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <atomic>
#include <climits>

#include "net/HttpErrors.h"
#include "net/HttpLimits.h"
#include "net/ReplyDeadline.h"
#include "net/TcpConnection.h"
#include "net/TlsClientContext.h"

namespace korvane {
namespace {

std::atomic<long> handshakes{0};

constexpr const char* NegotiationFailed = "SSL negotiation failed: ";

// The reason of the earliest queued OpenSSL error, without its codes; the queue is emptied.
std::string TakeErrorReason() {
  const unsigned long code = ERR_peek_error();
  const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
  ERR_clear_error();
  return reason != nullptr ? reason : "";
}

}  // namespace

long TlsHandshakeCount() {
  return handshakes.load(std::memory_order_relaxed);
}

TlsChannel::TlsChannel(TcpConnection& connection, const TlsClientContext& context)
    : connection_(connection) {
  ssl_ = SSL_new(context.Native());
  input_ = BIO_new(BIO_s_mem());
  output_ = BIO_new(BIO_s_mem());
  if (ssl_ == nullptr || input_ == nullptr || output_ == nullptr) {
    BIO_free(input_);
    BIO_free(output_);
    SSL_free(ssl_);
    throw TlsError(std::string(NegotiationFailed) + "out of memory.");
  }
  // An empty input buffer means "more to come", never the end of the stream.
  BIO_set_mem_eof_return(input_, -1);
  SSL_set_bio(ssl_, input_, output_);
  SSL_set_connect_state(ssl_);
}

TlsChannel::~TlsChannel() {
  SSL_free(ssl_);
}

void TlsChannel::Flush(Milliseconds realTimeout) {
  char block[ReceiveBlockBytes];
  for (;;) {
    const int taken = BIO_read(output_, block, sizeof block);
    if (taken <= 0) return;
    connection_.SendAll(std::string_view(block, static_cast<std::size_t>(taken)), realTimeout);
  }
}

bool TlsChannel::Pull(Milliseconds realTimeout) {
  char block[ReceiveBlockBytes];
  const std::size_t received = connection_.Receive(block, sizeof block, realTimeout);
  if (received == 0) return false;
  BIO_write(input_, block, static_cast<int>(received));
  return true;
}

void TlsChannel::SetExpectedPeer(const std::string& host) {
  ERR_clear_error();
  in_addr ipv4{};
  // Without the expected name the certificate would be checked for its chain alone: a failure
  // to set it ends the connection before a byte goes out.
  bool set = false;
  if (inet_pton(AF_INET, host.c_str(), &ipv4) == 1) {
    set = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_), host.c_str()) == 1;
  } else {
    set =
        SSL_set_tlsext_host_name(ssl_, host.c_str()) == 1 && SSL_set1_host(ssl_, host.c_str()) == 1;
  }
  if (!set) {
    ERR_clear_error();
    throw TlsError(std::string(NegotiationFailed) + "the host name cannot be checked.");
  }
}

void TlsChannel::Handshake(const std::string& host, Milliseconds realTimeout,
                           const ReplyDeadline& deadline) {
  SetExpectedPeer(host);
  for (;;) {
    ERR_clear_error();
    const int result = SSL_do_handshake(ssl_);
    const int error = result == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
    Flush(deadline.Bound(realTimeout));
    if (result == 1) break;
    if (error == SSL_ERROR_WANT_READ) {
      if (!Pull(deadline.Bound(realTimeout))) {
        throw TlsError(std::string(NegotiationFailed) +
                       "the server closed the connection during the handshake.");
      }
      continue;
    }
    const long verify = SSL_get_verify_result(ssl_);
    std::string reason = TakeErrorReason();
    if (verify != X509_V_OK) {
      throw TlsError(std::string(NegotiationFailed) + "certificate verify failed (" +
                     X509_verify_cert_error_string(verify) + ")");
    }
    throw TlsError(std::string(NegotiationFailed) +
                   (reason.empty() ? "the server broke off the handshake" : reason));
  }
  established_ = true;
  handshakes.fetch_add(1, std::memory_order_relaxed);
}

void TlsChannel::SendAll(std::string_view bytes, Milliseconds realTimeout) {
  while (!bytes.empty()) {
    ERR_clear_error();
    const int part = static_cast<int>(std::min<std::size_t>(bytes.size(), INT_MAX));
    const int written = SSL_write(ssl_, bytes.data(), part);
    if (written <= 0) throw TlsError("SSL write failed: " + TakeErrorReason());
    bytes.remove_prefix(static_cast<std::size_t>(written));
    Flush(realTimeout);
  }
}

std::size_t TlsChannel::Receive(char* buffer, std::size_t size, Milliseconds realTimeout) {
  for (;;) {
    ERR_clear_error();
    const int part = static_cast<int>(std::min<std::size_t>(size, INT_MAX));
    const int result = SSL_read(ssl_, buffer, part);
    const int error = result > 0 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
    // Reading may have produced housekeeping replies (a key update).
    Flush(realTimeout);
    if (result > 0) return static_cast<std::size_t>(result);
    if (error == SSL_ERROR_ZERO_RETURN) return 0;
    if (error != SSL_ERROR_WANT_READ) throw TlsError("SSL read failed: " + TakeErrorReason());
    // Only close_notify ends the data. A connection closed without it may have been cut by
    // anyone on the way, so whatever was read so far, a body that ends with the close
    // included, cannot be taken as complete.
    if (!Pull(realTimeout)) throw ConnectionClosedError();
  }
}

bool TlsChannel::IsReusable() {
  if (!established_ || !connection_.IsOpen()) return false;
  char block[ReceiveBlockBytes];
  try {
    for (;;) {
      std::optional<std::size_t> received = connection_.ReceiveAvailable(block, sizeof block);
      if (!received) break;
      if (*received == 0) return false;
      BIO_write(input_, block, static_cast<int>(*received));
    }
  } catch (const Exception&) {
    return false;
  }
  if (BIO_ctrl_pending(input_) == 0 && SSL_pending(ssl_) == 0) return true;
  ERR_clear_error();
  char byte;
  const int result = SSL_peek(ssl_, &byte, 1);
  const int error = result > 0 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
  ERR_clear_error();
  return error == SSL_ERROR_WANT_READ;
}

void TlsChannel::Shutdown() {
  if (!established_ || !connection_.IsOpen()) return;
  established_ = false;
  ERR_clear_error();
  SSL_shutdown(ssl_);
  ERR_clear_error();
  try {
    Flush(Milliseconds(0));
  } catch (const Exception&) {
    // A goodbye that does not fit at once is not worth a wait.
  }
}

}  // namespace korvane
