#include "Connection.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <vector>

namespace korvane::standin {

namespace {

using SteadyClock = std::chrono::steady_clock;

int PollTimeout(Milliseconds timeout) {
  return static_cast<int>(std::max<Milliseconds::rep>(0, timeout.count()));
}

}  // namespace

Connection::Connection(int fd, int stopFd, SSL_CTX* tls) : fd_(fd), stopFd_(stopFd) {
  if (tls == nullptr) return;
  ssl_ = SSL_new(tls);
  if (ssl_ != nullptr && SSL_set_fd(ssl_, fd_) != 1) EndTls(false);
  if (ssl_ != nullptr) SSL_set_accept_state(ssl_);
}

Connection::~Connection() {
  EndTls(false);
  if (fd_ >= 0) ::close(fd_);
}

void Connection::EndTls(bool polite) {
  if (ssl_ == nullptr) return;
  if (polite) SSL_shutdown(ssl_);
  SSL_free(ssl_);
  ssl_ = nullptr;
  ERR_clear_error();
}

bool Connection::AwaitTls(int result, Milliseconds timeout) {
  const int error = SSL_get_error(ssl_, result);
  ERR_clear_error();
  if (error == SSL_ERROR_WANT_READ) return PollFor(POLLIN, timeout) > 0;
  if (error == SSL_ERROR_WANT_WRITE) return PollFor(POLLOUT, timeout) > 0;
  return false;
}

bool Connection::Open(Milliseconds timeout) {
  if (fd_ < 0) return false;
  if (ssl_ == nullptr) return true;
  const auto deadline = SteadyClock::now() + timeout;
  while (true) {
    const int result = SSL_accept(ssl_);
    if (result == 1) return true;
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0 || !AwaitTls(result, left)) return false;
  }
}

bool Connection::ReceiveTls(std::string& buffer, Milliseconds timeout) {
  while (true) {
    char chunk[ReceiveChunkBytes];
    const int received = SSL_read(ssl_, chunk, sizeof chunk);
    if (received > 0) {
      buffer.append(chunk, static_cast<std::size_t>(received));
      return true;
    }
    if (!AwaitTls(received, timeout)) return false;
  }
}

bool Connection::SendTls(std::string_view part) {
  while (!part.empty()) {
    const int sent = SSL_write(ssl_, part.data(), static_cast<int>(part.size()));
    if (sent > 0) {
      part.remove_prefix(static_cast<std::size_t>(sent));
    } else if (!AwaitTls(sent, SendTimeout)) {
      return false;
    }
  }
  return true;
}

int Connection::PollFor(short events, Milliseconds timeout) {
  const auto deadline = SteadyClock::now() + timeout;
  while (true) {
    pollfd fds[2] = {{fd_, events, 0}, {stopFd_, POLLIN, 0}};
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - SteadyClock::now());
    const int ready = ::poll(fds, 2, PollTimeout(left));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || fds[1].revents != 0) return -1;
    return ready;
  }
}

bool Connection::Receive(std::string& buffer, Milliseconds timeout) {
  if (fd_ < 0) return false;
  if (ssl_ != nullptr) return ReceiveTls(buffer, timeout);
  while (true) {
    if (PollFor(POLLIN, timeout) <= 0) return false;
    char chunk[ReceiveChunkBytes];
    const ssize_t received = ::recv(fd_, chunk, sizeof chunk, 0);
    if (received > 0) {
      buffer.append(chunk, static_cast<std::size_t>(received));
      return true;
    }
    if (received < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) continue;
    return false;
  }
}

bool Connection::Send(std::initializer_list<std::string_view> parts) {
  if (fd_ < 0) return false;
  if (ssl_ != nullptr) {
    for (std::string_view part : parts) {
      if (!SendTls(part)) return false;
    }
    return true;
  }
  std::vector<iovec> pending;
  for (std::string_view part : parts) {
    if (!part.empty()) pending.push_back({const_cast<char*>(part.data()), part.size()});
  }
  std::size_t first = 0;
  while (first < pending.size()) {
    msghdr message{};
    message.msg_iov = pending.data() + first;
    message.msg_iovlen = pending.size() - first;
    const ssize_t sent = ::sendmsg(fd_, &message, MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return false;
      if (PollFor(POLLOUT, SendTimeout) <= 0) return false;
      continue;
    }
    auto done = static_cast<std::size_t>(sent);
    while (first < pending.size() && done >= pending[first].iov_len) {
      done -= pending[first].iov_len;
      ++first;
    }
    if (first < pending.size()) {
      pending[first].iov_base = static_cast<char*>(pending[first].iov_base) + done;
      pending[first].iov_len -= done;
    }
  }
  return true;
}

bool Connection::Wait(Milliseconds duration) {
  const auto deadline = SteadyClock::now() + duration;
  while (true) {
    pollfd stop = {stopFd_, POLLIN, 0};
    const auto left = std::chrono::duration_cast<Milliseconds>(deadline - SteadyClock::now());
    const int ready = ::poll(&stop, 1, PollTimeout(left));
    if (ready < 0 && errno == EINTR) continue;
    return ready == 0;
  }
}

void Connection::WaitForClientClose() {
  if (fd_ < 0) return;
  while (true) {
    const int ready = PollFor(POLLIN, IdleTimeout);
    if (ready < 0) return;
    if (ready == 0) continue;  // a stall outlasts any idle time
    char chunk[ReceiveChunkBytes];
    const ssize_t received = ::recv(fd_, chunk, sizeof chunk, 0);
    if (received == 0 ||
        (received < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
      return;
    }
  }
}

void Connection::Reset() {
  if (fd_ < 0) return;
  EndTls(false);
  const linger abortive = {1, 0};
  ::setsockopt(fd_, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
  ::close(fd_);
  fd_ = -1;
}

void Connection::CloseGracefully() {
  if (fd_ < 0) return;
  // The client's own goodbye and anything after it are drained as plain bytes below.
  EndTls(true);
  ::shutdown(fd_, SHUT_WR);
  std::string dropped;
  const auto deadline = SteadyClock::now() + CloseDrainTimeout;
  while (
      Receive(dropped, std::chrono::duration_cast<Milliseconds>(deadline - SteadyClock::now()))) {
    dropped.clear();
  }
  ::close(fd_);
  fd_ = -1;
}

}  // namespace korvane::standin
