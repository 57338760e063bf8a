#include "BenchServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <stdexcept>

namespace korvane::bench {

BenchServer::BenchServer(std::size_t bodyBytes) {
  body_.resize(bodyBytes);
  for (std::size_t i = 0; i < bodyBytes; ++i)
    body_[i] = static_cast<char>('a' + i % 26);
  reply_ = "HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nContent-Length: " +
           std::to_string(bodyBytes) + "\r\nConnection: close\r\n\r\n" + body_;

  wakeFd_ = ::eventfd(0, EFD_CLOEXEC);
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (wakeFd_ < 0 || listenFd_ < 0 ||
      ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 128) != 0 ||
      ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("bench server: cannot listen on loopback");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Run(); });
}

BenchServer::~BenchServer() {
  stopping_ = true;
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(wakeFd_, &one, sizeof one);
  thread_.join();
  ::close(listenFd_);
  ::close(wakeFd_);
}

std::string BenchServer::Url() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/cbk?output=tile&panoid=bench&x=0&y=0";
}

void BenchServer::Run() {
  while (!stopping_) {
    pollfd entries[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(entries, 2, -1) <= 0 || stopping_) continue;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    Serve(fd);
    ::close(fd);
  }
}

void BenchServer::Serve(int fd) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) return;
    request.append(buffer, static_cast<std::size_t>(n));
  }
  std::size_t sent = 0;
  while (sent < reply_.size()) {
    ssize_t n = ::send(fd, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
  // Closing first without reading on would reset the connection if request bytes were still
  // unread; a half close and a wait for the client's close end it cleanly.
  ::shutdown(fd, SHUT_WR);
  while (::recv(fd, buffer, sizeof buffer, 0) > 0) {
  }
}

}  // namespace korvane::bench
