#include "support/ScriptedServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <utility>

namespace korvane::test {

ConnectionScript& ConnectionScript::Send(std::string bytes) {
  steps_.push_back({Step::Send, std::move(bytes), nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::SendByteByByte(std::string bytes) {
  steps_.push_back({Step::SendByteByByte, std::move(bytes), nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::Trickle(std::string bytes, std::chrono::milliseconds interval) {
  steps_.push_back({Step::Trickle, std::move(bytes), nullptr, interval});
  return *this;
}

ConnectionScript& ConnectionScript::AwaitRequest() {
  steps_.push_back({Step::AwaitRequest, "", nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::Reply(std::string bytes) {
  return AwaitRequest().Send(std::move(bytes));
}

ConnectionScript& ConnectionScript::Close() {
  steps_.push_back({Step::Close, "", nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::Reset() {
  steps_.push_back({Step::Reset, "", nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::Stall() {
  steps_.push_back({Step::Stall, "", nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::KeepOpen() {
  steps_.push_back({Step::KeepOpen, "", nullptr});
  return *this;
}

ConnectionScript& ConnectionScript::Respond(Responder responder) {
  steps_.push_back({Step::Respond, "", std::move(responder)});
  return *this;
}

struct ScriptedServer::Connection {
  int fd = -1;
  ConnectionScript script;
  std::string received;       // guarded by the server's mutex_
  bool serverClosed = false;  // guarded by the server's mutex_
  std::thread thread;
};

namespace {

enum class Outcome { Ready, Closed, Stopped };

}  // namespace

ScriptedServer::ScriptedServer() {
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (wakeFd_ < 0 || listenFd_ < 0) throw std::runtime_error("ScriptedServer: no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 64) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listenFd_);
    ::close(wakeFd_);
    throw std::runtime_error("ScriptedServer: cannot listen on loopback");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

ScriptedServer::~ScriptedServer() {
  Stop();
}

void ScriptedServer::Stop() {
  if (stopping_.exchange(true)) return;
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wakeFd_, &one, sizeof one);
  acceptor_.join();
  // The acceptor has ended, so the list no longer grows.
  for (auto& connection : connections_)
    connection->thread.join();
  ::close(listenFd_);
  ::close(wakeFd_);
}

std::string ScriptedServer::HostPort() const {
  return "127.0.0.1:" + std::to_string(port_);
}

std::string ScriptedServer::Url(const std::string& path) const {
  return "http://" + HostPort() + path;
}

void ScriptedServer::AddConnection(ConnectionScript script) {
  std::lock_guard<std::mutex> lock(mutex_);
  scripts_.push_back(std::move(script));
}

void ScriptedServer::SetDefaultScript(ConnectionScript script) {
  std::lock_guard<std::mutex> lock(mutex_);
  defaultScript_ = std::move(script);
}

int ScriptedServer::AcceptedCount() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(connections_.size());
}

std::string ScriptedServer::Received(std::size_t index) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return index < connections_.size() ? connections_[index]->received : std::string();
}

std::vector<std::string> ScriptedServer::AllReceived() const {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<std::string> result;
  for (const auto& connection : connections_)
    result.push_back(connection->received);
  return result;
}

bool ScriptedServer::WaitForServerClose(std::size_t index) const {
  std::unique_lock<std::mutex> lock(mutex_);
  return serverClosed_.wait_for(lock, std::chrono::seconds(30), [&] {
    return index < connections_.size() && connections_[index]->serverClosed;
  });
}

void ScriptedServer::AcceptLoop() {
  for (;;) {
    pollfd entries[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(entries, 2, -1) < 0 && errno != EINTR) return;
    if (stopping_) return;
    if (!(entries[0].revents & POLLIN)) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) continue;
    int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    std::lock_guard<std::mutex> lock(mutex_);
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    if (!scripts_.empty()) {
      connection->script = std::move(scripts_.front());
      scripts_.pop_front();
    } else {
      connection->script = defaultScript_;
    }
    Connection& started = *connection;
    connections_.push_back(std::move(connection));
    started.thread = std::thread([this, &started] { Serve(started); });
  }
}

void ScriptedServer::Serve(Connection& connection) {
  const int fd = connection.fd;
  std::string pending;  // received bytes not yet matched to a request

  // Waits until fd is ready for `events`, or the server stops.
  auto wait = [&](short events) {
    for (;;) {
      pollfd entries[2] = {{fd, events, 0}, {wakeFd_, POLLIN, 0}};
      if (::poll(entries, 2, -1) < 0 && errno != EINTR) return Outcome::Closed;
      if (stopping_) return Outcome::Stopped;
      if (entries[0].revents != 0) return Outcome::Ready;
    }
  };
  // Reads what is there (waiting for something when `block`), records it and keeps it pending.
  auto readSome = [&](bool block) {
    for (;;) {
      char buffer[16 * 1024];
      ssize_t received = ::recv(fd, buffer, sizeof buffer, 0);
      if (received > 0) {
        pending.append(buffer, static_cast<std::size_t>(received));
        std::lock_guard<std::mutex> lock(mutex_);
        connection.received.append(buffer, static_cast<std::size_t>(received));
        return Outcome::Ready;
      }
      if (received == 0) return Outcome::Closed;
      if (errno == EINTR) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) return Outcome::Closed;
      if (!block) return Outcome::Stopped;
      Outcome outcome = wait(POLLIN);
      if (outcome != Outcome::Ready) return outcome;
    }
  };
  auto sendAll = [&](std::string_view bytes) {
    while (!bytes.empty()) {
      ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
      if (sent > 0) {
        bytes.remove_prefix(static_cast<std::size_t>(sent));
      } else if (sent < 0 && errno == EINTR) {
        continue;
      } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
        if (wait(POLLOUT) != Outcome::Ready) return false;
      } else {
        return false;
      }
    }
    return true;
  };
  auto awaitRequest = [&](std::string& request) {
    for (;;) {
      std::size_t end = pending.find("\r\n\r\n");
      if (end != std::string::npos) {
        request = pending.substr(0, end + 4);
        pending.erase(0, end + 4);
        return true;
      }
      if (readSome(true) != Outcome::Ready) return false;
    }
  };
  auto drainUntilClosed = [&] {
    while (readSome(true) == Outcome::Ready)
      pending.clear();
  };
  auto markClosed = [&] {
    std::lock_guard<std::mutex> lock(mutex_);
    connection.serverClosed = true;
    serverClosed_.notify_all();
  };
  auto finish = [&](bool graceful) {
    if (graceful) {
      ::shutdown(fd, SHUT_WR);
      markClosed();
      drainUntilClosed();
    }
    // Whatever arrived meanwhile is part of the record.
    while (readSome(false) == Outcome::Ready) {
    }
    ::close(fd);
    markClosed();
  };

  for (const ConnectionScript::Step& step : connection.script.Steps()) {
    using Step = ConnectionScript::Step;
    std::string request;
    switch (step.kind) {
      case Step::Send:
        if (!sendAll(step.bytes)) return finish(false);
        break;
      case Step::SendByteByByte:
        for (char byte : step.bytes) {
          if (!sendAll(std::string_view(&byte, 1))) return finish(false);
          std::this_thread::yield();
        }
        break;
      case Step::Trickle:
        for (char byte : step.bytes) {
          if (!sendAll(std::string_view(&byte, 1))) return finish(false);
          pollfd entry{wakeFd_, POLLIN, 0};
          ::poll(&entry, 1, static_cast<int>(step.interval.count()));
          if (stopping_) return finish(false);
        }
        break;
      case Step::AwaitRequest:
        if (!awaitRequest(request)) return finish(!stopping_);
        break;
      case Step::Close:
        return finish(true);
      case Step::Reset: {
        linger abort{1, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(fd);
        markClosed();
        return;
      }
      case Step::Stall: {
        pollfd entry{wakeFd_, POLLIN, 0};
        while (!stopping_)
          ::poll(&entry, 1, -1);
        return finish(false);
      }
      case Step::KeepOpen:
        drainUntilClosed();
        return finish(false);
      case Step::Respond:
        while (awaitRequest(request)) {
          if (!sendAll(step.responder(request))) return finish(false);
        }
        return finish(!stopping_);
    }
  }
  finish(!stopping_);
}

}  // namespace korvane::test
