#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "StandinLimits.h"

typedef struct ssl_ctx_st SSL_CTX;
typedef struct ssl_st SSL;

namespace korvane::standin {

// One accepted client connection, plain or TLS. Every wait also watches the service's stop
// descriptor, so a stopping service never waits on a client. Used by one thread.
class Connection {
 public:
  // Takes ownership of the non-blocking socket fd; stopFd becomes readable when the service
  // stops. With a TLS context the connection speaks TLS once Open has succeeded.
  Connection(int fd, int stopFd, SSL_CTX* tls = nullptr);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  // The TLS handshake (nothing to do for a plain connection). False when the client does not
  // complete it within `timeout`, fails it, goes, or the service stops.
  bool Open(Milliseconds timeout);

  // Appends what the client sent to buffer. False at the client's end of stream, on a socket
  // error, after `timeout` without data, or when the service stops.
  bool Receive(std::string& buffer, Milliseconds timeout);

  // Sends the parts one after the other. False when the client is gone, takes nothing for
  // SendTimeout, or the service stops.
  bool Send(std::initializer_list<std::string_view> parts);

  // Waits for the duration. False when the service stops first.
  bool Wait(Milliseconds duration);

  // Waits until the client closes the connection or the service stops; what the client sends
  // meanwhile is dropped.
  void WaitForClientClose();

  // Ends the connection with a reset (RST): the client's next receive fails.
  void Reset();

  // Ends the connection with an orderly close (FIN). What the client still sends is read and
  // dropped for up to CloseDrainTimeout first, since closing a socket with unread bytes would
  // reset it instead.
  void CloseGracefully();

 private:
  // Polls the socket for the events and the stop descriptor; >0 ready, 0 timed out, -1 stop.
  int PollFor(short events, Milliseconds timeout);
  // After a TLS call that returned `result`: waits for what it needs; false when it failed or
  // the wait did.
  bool AwaitTls(int result, Milliseconds timeout);
  bool ReceiveTls(std::string& buffer, Milliseconds timeout);
  bool SendTls(std::string_view part);
  // Ends TLS (with a close_notify when `polite`); the socket stays.
  void EndTls(bool polite);

  int fd_;
  int stopFd_;
  SSL* ssl_ = nullptr;
};

}  // namespace korvane::standin
