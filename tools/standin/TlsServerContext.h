#pragma once

#include <string>

typedef struct ssl_ctx_st SSL_CTX;

namespace korvane::standin {

// The service's TLS identity for --tls: a certificate chain and its private key, both PEM.
// Every listener then speaks TLS 1.2 or newer.
class TlsServerContext {
 public:
  // Raises korvane::Exception naming the file that cannot be used.
  TlsServerContext(const std::string& certificateFile, const std::string& keyFile);
  ~TlsServerContext();
  TlsServerContext(const TlsServerContext&) = delete;
  TlsServerContext& operator=(const TlsServerContext&) = delete;

  SSL_CTX* Native() const { return context_; }

 private:
  SSL_CTX* context_ = nullptr;
};

}  // namespace korvane::standin
