#include "support/TlsTestServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace korvane::test {

const std::string TlsTestServer::Hello = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";

TlsTestSession::TlsTestSession(int fd, SSL_CTX* context) : fd_(fd) {
  ssl_ = SSL_new(context);
  input_ = BIO_new(BIO_s_mem());
  output_ = BIO_new(BIO_s_mem());
  BIO_set_mem_eof_return(input_, -1);
  SSL_set_bio(ssl_, input_, output_);
  SSL_set_accept_state(ssl_);
}

TlsTestSession::~TlsTestSession() {
  SSL_free(ssl_);
}

bool TlsTestSession::Pull() {
  char block[16 * 1024];
  const ssize_t received = ::recv(fd_, block, sizeof block, 0);
  if (received <= 0) return false;
  BIO_write(input_, block, static_cast<int>(received));
  return true;
}

void TlsTestSession::SendRaw(const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t step = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (step <= 0) return;
    sent += static_cast<std::size_t>(step);
  }
}

void TlsTestSession::Flush() {
  char block[16 * 1024];
  int taken;
  while ((taken = BIO_read(output_, block, sizeof block)) > 0)
    SendRaw(std::string(block, static_cast<std::size_t>(taken)));
}

void TlsTestSession::SendCloseNotify() {
  SSL_shutdown(ssl_);
  ERR_clear_error();
  Flush();
}

std::string TlsTestSession::ReceiveRaw() {
  char block[16 * 1024];
  const ssize_t received = ::recv(fd_, block, sizeof block, 0);
  return received > 0 ? std::string(block, static_cast<std::size_t>(received)) : std::string();
}

bool TlsTestSession::Handshake() {
  for (;;) {
    const int result = SSL_do_handshake(ssl_);
    const int error = result == 1 ? SSL_ERROR_NONE : SSL_get_error(ssl_, result);
    Flush();
    if (result == 1) return true;
    ERR_clear_error();
    if (error != SSL_ERROR_WANT_READ || !Pull()) return false;
  }
}

std::string TlsTestSession::ReadRequest() {
  for (;;) {
    const std::size_t end = plain_.find("\r\n\r\n");
    if (end != std::string::npos) {
      std::string request = plain_.substr(0, end + 4);
      plain_.erase(0, end + 4);
      return request;
    }
    char block[16 * 1024];
    const int result = SSL_read(ssl_, block, sizeof block);
    Flush();
    if (result > 0) {
      plain_.append(block, static_cast<std::size_t>(result));
      continue;
    }
    const int error = SSL_get_error(ssl_, result);
    ERR_clear_error();
    if (error != SSL_ERROR_WANT_READ || !Pull()) return "";
  }
}

std::string TlsTestSession::Seal(const std::string& bytes) {
  SSL_write(ssl_, bytes.data(), static_cast<int>(bytes.size()));
  std::string sealed;
  char block[16 * 1024];
  int taken;
  while ((taken = BIO_read(output_, block, sizeof block)) > 0)
    sealed.append(block, static_cast<std::size_t>(taken));
  return sealed;
}

void TlsTestSession::Send(const std::string& bytes) {
  SendRaw(Seal(bytes));
}

void TlsTestSession::ServeRequests(const std::string& reply) {
  while (!ReadRequest().empty())
    Send(reply);
}

void TlsTestSession::AwaitClose() {
  while (!ReceiveRaw().empty()) {
  }
}

TlsTestServer::TlsTestServer(const TestCertificate& certificate) {
  context_ = SSL_CTX_new(TLS_server_method());
  BIO* certificateBio = BIO_new_mem_buf(certificate.CertificatePem.data(),
                                        static_cast<int>(certificate.CertificatePem.size()));
  BIO* keyBio =
      BIO_new_mem_buf(certificate.KeyPem.data(), static_cast<int>(certificate.KeyPem.size()));
  X509* x509 = PEM_read_bio_X509(certificateBio, nullptr, nullptr, nullptr);
  EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
  const bool ok = x509 != nullptr && key != nullptr &&
                  SSL_CTX_use_certificate(context_, x509) == 1 &&
                  SSL_CTX_use_PrivateKey(context_, key) == 1;
  X509_free(x509);
  EVP_PKEY_free(key);
  BIO_free(certificateBio);
  BIO_free(keyBio);
  if (!ok) {
    SSL_CTX_free(context_);
    throw std::runtime_error("TlsTestServer: unusable certificate");
  }

  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 16) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listenFd_);
    SSL_CTX_free(context_);
    throw std::runtime_error("TlsTestServer: cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TlsTestServer::~TlsTestServer() {
  Stop();
  SSL_CTX_free(context_);
}

std::string TlsTestServer::Url(const std::string& path) const {
  return "https://127.0.0.1:" + std::to_string(port_) + path;
}

void TlsTestServer::AddConnection(Handler handler) {
  std::lock_guard<std::mutex> lock(mutex_);
  handlers_.push_back(std::move(handler));
}

int TlsTestServer::AcceptedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return accepted_;
}

void TlsTestServer::AcceptLoop() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (stopping_) return;
      continue;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    if (stopping_) {
      ::close(fd);
      return;
    }
    Handler handler = [](TlsTestSession& session) {
      if (session.Handshake()) session.ServeRequests(Hello);
    };
    if (!handlers_.empty()) {
      handler = std::move(handlers_.front());
      handlers_.pop_front();
    }
    ++accepted_;
    connectionFds_.push_back(fd);
    connectionThreads_.emplace_back([this, fd, handler = std::move(handler)] {
      {
        TlsTestSession session(fd, context_);
        handler(session);
      }
      ::shutdown(fd, SHUT_RDWR);  // the fd itself is closed by Stop, so no number is reused
    });
  }
}

void TlsTestServer::Stop() {
  if (stopping_.exchange(true)) return;
  ::shutdown(listenFd_, SHUT_RDWR);
  acceptor_.join();
  ::close(listenFd_);
  std::vector<std::thread> threads;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (int fd : connectionFds_)
      ::shutdown(fd, SHUT_RDWR);
    threads.swap(connectionThreads_);
  }
  for (std::thread& thread : threads)
    thread.join();
  std::lock_guard<std::mutex> lock(mutex_);
  for (int fd : connectionFds_)
    ::close(fd);
  connectionFds_.clear();
}

}  // namespace korvane::test
