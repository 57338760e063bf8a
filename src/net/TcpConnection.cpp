#include "net/TcpConnection.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>

#include "net/AbortSignal.h"
#include "net/HttpErrors.h"
#include "net/SocketErrors.h"
#include "net/SocketLayer.h"

namespace korvane {
namespace {

[[noreturn]] void RaiseSocketError(int errnoValue, SocketOperation operation) {
  int number = WinSockErrorFromErrno(errnoValue, operation);
  if (number != 0) throw SocketError(number);
  // No WinSock counterpart: keep the system's number and text so the failure stays readable.
  throw SocketError(errnoValue, std::strerror(errnoValue));
}

}  // namespace

TcpConnection::~TcpConnection() {
  Close();
}

void TcpConnection::Close() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

void TcpConnection::ThrowIfAborted() const {
  if (abort_ != nullptr) abort_->ThrowIfRaised();
}

bool TcpConnection::WaitFor(short events, Milliseconds realTimeout) const {
  using SteadyClock = std::chrono::steady_clock;
  const SteadyClock::time_point deadline = SteadyClock::now() + realTimeout;
  const int abortFd = abort_ != nullptr ? abort_->WaitFd() : -1;
  for (;;) {
    ThrowIfAborted();
    // Rounded up, so that a wait never ends a fraction of a millisecond early.
    auto left = std::chrono::ceil<Milliseconds>(deadline - SteadyClock::now());
    int timeoutMs = static_cast<int>(std::clamp<long long>(left.count(), 0, INT_MAX));
    pollfd entries[2] = {{fd_, events, 0}, {abortFd, POLLIN, 0}};
    int ready = ::poll(entries, abortFd >= 0 ? 2 : 1, timeoutMs);
    if (ready > 0) {
      ThrowIfAborted();
      return true;
    }
    if (ready == 0) {
      if (SteadyClock::now() >= deadline) return false;
      continue;
    }
    if (errno != EINTR) RaiseSocketError(errno, SocketOperation::Other);
  }
}

void TcpConnection::Connect(const in_addr& address, int port, Milliseconds realTimeout) {
  Close();
  ThrowIfAborted();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) RaiseSocketError(errno, SocketOperation::Connect);
  fd_ = fd;

  sockaddr_in peer{};
  peer.sin_family = AF_INET;
  peer.sin_port = htons(static_cast<uint16_t>(port));
  peer.sin_addr = address;
  if (::connect(fd_, reinterpret_cast<const sockaddr*>(&peer), sizeof peer) == 0) return;
  int error = errno;
  if (error == EINPROGRESS || error == EINTR) {
    bool ready = false;
    try {
      ready = WaitFor(POLLOUT, realTimeout);
    } catch (...) {
      Close();
      throw;
    }
    if (!ready) {
      Close();
      throw SocketError(WsaTimedOut);
    }
    socklen_t length = sizeof error;
    if (::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
    if (error == 0) return;
  }
  Close();
  RaiseSocketError(error, SocketOperation::Connect);
}

void TcpConnection::SendAll(std::string_view bytes, Milliseconds realTimeout) {
  if (fd_ < 0) RaiseSocketError(ENOTCONN, SocketOperation::Send);
  ThrowIfAborted();
  const int flags = SocketSendFlags();
  while (!bytes.empty()) {
    ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), flags);
    if (sent >= 0) {
      bytes.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) RaiseSocketError(errno, SocketOperation::Send);
    if (!WaitFor(POLLOUT, realTimeout)) throw SocketError(WsaTimedOut);
  }
}

std::size_t TcpConnection::Receive(char* buffer, std::size_t size, Milliseconds realTimeout) {
  if (fd_ < 0) RaiseSocketError(ENOTCONN, SocketOperation::Receive);
  ThrowIfAborted();
  for (;;) {
    ssize_t received = ::recv(fd_, buffer, size, 0);
    if (received >= 0) return static_cast<std::size_t>(received);
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) RaiseSocketError(errno, SocketOperation::Receive);
    if (!WaitFor(POLLIN, realTimeout)) throw SocketError(WsaTimedOut);
  }
}

std::optional<std::size_t> TcpConnection::ReceiveAvailable(char* buffer, std::size_t size) {
  if (fd_ < 0) RaiseSocketError(ENOTCONN, SocketOperation::Receive);
  ThrowIfAborted();
  for (;;) {
    ssize_t received = ::recv(fd_, buffer, size, MSG_DONTWAIT);
    if (received >= 0) return static_cast<std::size_t>(received);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) return std::nullopt;
    RaiseSocketError(errno, SocketOperation::Receive);
  }
}

bool TcpConnection::IsReusable() const {
  if (fd_ < 0) return false;
  pollfd entry{fd_, POLLIN, 0};
  int ready = ::poll(&entry, 1, 0);
  if (ready == 0) return true;
  if (ready < 0) return false;
  // Readable means closed, reset, or unasked bytes: only a spurious wake-up leaves it usable.
  char byte;
  ssize_t peeked = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  return peeked < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

}  // namespace korvane
