#pragma once

#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "support/TestCertificates.h"

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;
typedef struct bio_st BIO;

namespace korvane::test {

// The server side of one accepted connection of a TlsTestServer. TLS goes through memory
// buffers, so a test can also take the encrypted bytes and send only part of them.
class TlsTestSession {
 public:
  TlsTestSession(int fd, SSL_CTX* context);
  ~TlsTestSession();
  TlsTestSession(const TlsTestSession&) = delete;
  TlsTestSession& operator=(const TlsTestSession&) = delete;

  // The server's half of the handshake; false when it fails or the client goes.
  bool Handshake();
  // The next request head (up to its blank line); empty when the client closed first.
  std::string ReadRequest();
  // Encrypts and sends.
  void Send(const std::string& bytes);
  // The TLS records that carry the bytes, without sending them.
  std::string Seal(const std::string& bytes);
  // Ends the TLS session properly: sends close_notify (the connection stays open).
  void SendCloseNotify();
  // Sends bytes as they are (no TLS).
  void SendRaw(const std::string& bytes);
  // Reads raw bytes until some arrived (the client's first handshake message, for one).
  std::string ReceiveRaw();
  // Answers every request with the reply until the client closes.
  void ServeRequests(const std::string& reply);
  // Waits, reading nothing, until the client closes or the server stops.
  void AwaitClose();

 private:
  bool Pull();
  void Flush();

  int fd_;
  SSL* ssl_ = nullptr;
  BIO* input_ = nullptr;
  BIO* output_ = nullptr;
  std::string plain_;  // decrypted, not yet taken
};

// A TLS server on 127.0.0.1 with a port of the system's choice, for client tests: each
// accepted connection runs the next handler added (the default one when none is queued: the
// handshake, then 200 replies) on a thread of its own. Destruction (or Stop) shuts every
// connection down and joins every thread.
class TlsTestServer {
 public:
  using Handler = std::function<void(TlsTestSession&)>;

  explicit TlsTestServer(const TestCertificate& certificate);
  ~TlsTestServer();
  TlsTestServer(const TlsTestServer&) = delete;
  TlsTestServer& operator=(const TlsTestServer&) = delete;

  int Port() const { return port_; }
  // "https://127.0.0.1:PORT" + path.
  std::string Url(const std::string& path = "/") const;

  void AddConnection(Handler handler);
  int AcceptedCount() const;
  void Stop();

  // The reply the default handler gives: 200 with the body "hello".
  static const std::string Hello;

 private:
  void AcceptLoop();

  SSL_CTX* context_ = nullptr;
  int listenFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread acceptor_;
  mutable std::mutex mutex_;  // guards what follows
  std::deque<Handler> handlers_;
  int accepted_ = 0;
  std::vector<int> connectionFds_;
  std::vector<std::thread> connectionThreads_;
};

}  // namespace korvane::test
