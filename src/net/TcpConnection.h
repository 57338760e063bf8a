#pragma once

#include <netinet/in.h>

#include <cstddef>
#include <optional>
#include <string_view>

#include "platform/Clock.h"

namespace korvane {

class AbortSignal;

// One client-side TCP connection over a non-blocking POSIX socket. Every wait is bounded by the
// real time-out passed in; every failure raises SocketError with the WinSock number of the
// POSIX error (10060 for a time-out). Used by one thread at a time.
//
// With an abort signal, every operation first checks it and every wait also watches it: once
// it is raised, Connect, SendAll and Receive raise RequestAbortedError at once.
class TcpConnection {
 public:
  TcpConnection() = default;
  explicit TcpConnection(const AbortSignal* abort) : abort_(abort) {}
  ~TcpConnection();
  TcpConnection(const TcpConnection&) = delete;
  TcpConnection& operator=(const TcpConnection&) = delete;

  bool IsOpen() const { return fd_ >= 0; }

  // Closes any open connection, then connects to address:port. On failure the connection
  // stays closed.
  void Connect(const in_addr& address, int port, Milliseconds realTimeout);

  // Sends every byte; the time-out bounds each wait for room in the send buffer.
  void SendAll(std::string_view bytes, Milliseconds realTimeout);

  // Receives at least one and at most `size` bytes, or returns 0 when the peer has closed its
  // side. The time-out bounds the wait for the first byte.
  std::size_t Receive(char* buffer, std::size_t size, Milliseconds realTimeout);

  // What the peer has already sent, without waiting: the bytes (at most `size`), 0 when the
  // peer has closed, nothing when no byte is waiting. Raises like Receive.
  std::optional<std::size_t> ReceiveAvailable(char* buffer, std::size_t size);

  // Whether an open connection can carry the next request: false when the peer has closed or
  // reset it, or has sent bytes nobody asked for (which would be read as the next reply).
  // Does not wait.
  bool IsReusable() const;

  // Releases the socket; no effect when closed.
  void Close();

 private:
  // Waits until the socket is ready for `events` (POLLIN or POLLOUT); false on time-out.
  bool WaitFor(short events, Milliseconds realTimeout) const;
  void ThrowIfAborted() const;

  int fd_ = -1;
  const AbortSignal* abort_ = nullptr;
};

}  // namespace korvane
