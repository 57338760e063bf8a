#include "TlsServerContext.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include "platform/Exception.h"

namespace korvane::standin {
namespace {

std::string LastTlsError() {
  char text[256] = "";
  ERR_error_string_n(ERR_get_error(), text, sizeof text);
  ERR_clear_error();
  return text;
}

}  // namespace

TlsServerContext::TlsServerContext(const std::string& certificateFile, const std::string& keyFile) {
  context_ = SSL_CTX_new(TLS_server_method());
  if (context_ == nullptr) throw Exception("cannot create a TLS context: " + LastTlsError());
  SSL_CTX_set_min_proto_version(context_, TLS1_2_VERSION);
  // Replies go out in parts from buffers that may move between retries.
  SSL_CTX_set_mode(context_, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  std::string problem;
  if (SSL_CTX_use_certificate_chain_file(context_, certificateFile.c_str()) != 1) {
    problem = "certificate " + certificateFile + ": " + LastTlsError();
  } else if (SSL_CTX_use_PrivateKey_file(context_, keyFile.c_str(), SSL_FILETYPE_PEM) != 1) {
    problem = "key " + keyFile + ": " + LastTlsError();
  } else if (SSL_CTX_check_private_key(context_) != 1) {
    problem = "key " + keyFile + " does not match the certificate";
  }
  if (!problem.empty()) {
    SSL_CTX_free(context_);
    throw Exception(problem);
  }
}

TlsServerContext::~TlsServerContext() {
  SSL_CTX_free(context_);
}

}  // namespace korvane::standin
