#pragma once

#include <memory>
#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace korvane {

// The TLS settings every HTTPS connection of one client shares: TLS 1.2 or newer, the peer's
// certificate chain verified against the system's trust store plus, when caFile is not empty,
// the PEM certificates in that file. There is deliberately no way to switch verification off.
class TlsClientContext {
 public:
  // Raises TlsError when caFile is set but cannot be read or holds no certificate, so a
  // misconfigured trust store shows at the first HTTPS request instead of a later verify
  // failure.
  explicit TlsClientContext(const std::string& caFile);
  ~TlsClientContext();
  TlsClientContext(const TlsClientContext&) = delete;
  TlsClientContext& operator=(const TlsClientContext&) = delete;

  // The context for caFile that the clients of the process share while any of them holds it;
  // a new one when none does. Building a context reads the system's whole trust store, which
  // costs more than a handshake, so a task's many workers must not each build their own.
  // Thread-safe; an SSL_CTX serves connections on any number of threads once it is set up.
  static std::shared_ptr<const TlsClientContext> Shared(const std::string& caFile);

  const std::string& CaFile() const { return caFile_; }
  SSL_CTX* Native() const { return context_; }

 private:
  std::string caFile_;
  SSL_CTX* context_ = nullptr;
};

}  // namespace korvane
