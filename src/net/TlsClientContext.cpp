#include "net/TlsClientContext.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>

#include "net/HttpErrors.h"

namespace korvane {
namespace {

// Callers classify failures by type, never by text, so the line can name the path the user
// has to look at.
constexpr const char* CaFileName = "The CA file named by [Service] CAFile";

// Adds every certificate of the PEM file to the store; how many there were.
int AddCertificates(X509_STORE* store, const std::string& caFile) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(caFile.c_str(), "rb"), &std::fclose);
  if (!file) {
    throw TlsError(std::string(CaFileName) + " (" + caFile +
                   ") cannot be read: " + std::strerror(errno) + ".");
  }
  int added = 0;
  while (X509* certificate = PEM_read_X509(file.get(), nullptr, nullptr, nullptr)) {
    if (X509_STORE_add_cert(store, certificate) == 1) ++added;
    X509_free(certificate);
  }
  ERR_clear_error();  // the read that ends the loop leaves "no start line"
  return added;
}

}  // namespace

TlsClientContext::TlsClientContext(const std::string& caFile) : caFile_(caFile) {
  context_ = SSL_CTX_new(TLS_client_method());
  if (context_ == nullptr) throw TlsError("SSL negotiation failed: no TLS context.");
  try {
    SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
    SSL_CTX_set_verify(context_, SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_default_verify_paths(context_);
    if (!caFile_.empty() && AddCertificates(SSL_CTX_get_cert_store(context_), caFile_) == 0) {
      throw TlsError(std::string(CaFileName) + " holds no PEM certificate.");
    }
  } catch (...) {
    SSL_CTX_free(context_);
    throw;
  }
}

std::shared_ptr<const TlsClientContext> TlsClientContext::Shared(const std::string& caFile) {
  static std::mutex mutex;
  static std::map<std::string, std::weak_ptr<const TlsClientContext>> live;
  std::lock_guard<std::mutex> lock(mutex);
  std::weak_ptr<const TlsClientContext>& slot = live[caFile];
  if (std::shared_ptr<const TlsClientContext> context = slot.lock()) return context;
  auto context = std::make_shared<const TlsClientContext>(caFile);
  slot = context;
  return context;
}

TlsClientContext::~TlsClientContext() {
  SSL_CTX_free(context_);
}

}  // namespace korvane
