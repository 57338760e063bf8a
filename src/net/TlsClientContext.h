#pragma once

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

  const std::string& CaFile() const { return caFile_; }
  SSL_CTX* Native() const { return context_; }

 private:
  std::string caFile_;
  SSL_CTX* context_ = nullptr;
};

}  // namespace korvane
