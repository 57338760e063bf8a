#include "RawHttpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace korvane::test {

std::optional<std::string> RawReply::Header(std::string_view name) const {
  for (const auto& [key, value] : Headers) {
    if (key.size() == name.size() &&
        std::equal(key.begin(), key.end(), name.begin(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) ==
                 std::tolower(static_cast<unsigned char>(b));
        })) {
      return value;
    }
  }
  return std::nullopt;
}

RawConnection::RawConnection(int port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    if (fd_ >= 0) ::close(fd_);
    throw std::runtime_error("cannot connect to 127.0.0.1:" + std::to_string(port));
  }
}

RawConnection::~RawConnection() {
  if (fd_ >= 0) ::close(fd_);
}

bool RawConnection::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

int RawConnection::Fill() {
  pollfd readable = {fd_, POLLIN, 0};
  if (::poll(&readable, 1, static_cast<int>(ReadTimeout.count())) == 0) return -2;
  char chunk[65536];
  const ssize_t got = ::recv(fd_, chunk, sizeof chunk, 0);
  if (got > 0) {
    buffered_.append(chunk, static_cast<std::size_t>(got));
    return 1;
  }
  return got == 0 ? 0 : -1;
}

bool RawConnection::ServerCloses() {
  buffered_.clear();
  const int got = Fill();
  return got == 0 || got == -1;
}

RawReply RawConnection::ReadReply() {
  RawReply reply;
  auto ended = [&reply](int got, ReplyEnd closed) {
    reply.End = got == -1 ? ReplyEnd::Reset : got == -2 ? ReplyEnd::TimedOut : closed;
    return reply;
  };
  std::size_t headEnd;
  while ((headEnd = buffered_.find("\r\n\r\n")) == std::string::npos) {
    const int got = Fill();
    if (got != 1) {
      return ended(got, buffered_.empty() ? ReplyEnd::ClosedBeforeStatus : ReplyEnd::ClosedInHead);
    }
  }
  const std::string head = buffered_.substr(0, headEnd);
  buffered_.erase(0, headEnd + 4);
  std::size_t lineEnd = head.find("\r\n");
  reply.StatusLine = head.substr(0, lineEnd);
  const std::size_t blank = reply.StatusLine.find(' ');
  reply.Status = std::atoi(reply.StatusLine.c_str() + (blank == std::string::npos ? 0 : blank + 1));
  while (lineEnd != std::string::npos) {
    const std::size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd - start);
    const std::size_t colon = line.find(':');
    std::size_t valueStart = colon + 1;
    while (valueStart < line.size() && line[valueStart] == ' ')
      ++valueStart;
    reply.Headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
  }

  if (const auto length = reply.Header("Content-Length")) {
    const std::size_t wanted = std::stoul(*length);
    while (buffered_.size() < wanted) {
      const int got = Fill();
      if (got != 1) {
        reply.Body = buffered_;
        buffered_.clear();
        return ended(got, ReplyEnd::ClosedInBody);
      }
    }
    reply.Body = buffered_.substr(0, wanted);
    buffered_.erase(0, wanted);
  } else if (reply.Header("Transfer-Encoding") == "chunked") {
    while (true) {
      std::size_t sizeEnd;
      while ((sizeEnd = buffered_.find("\r\n")) == std::string::npos) {
        const int got = Fill();
        if (got != 1) return ended(got, ReplyEnd::ClosedInBody);
      }
      const std::size_t size = std::stoul(buffered_.substr(0, sizeEnd), nullptr, 16);
      while (buffered_.size() < sizeEnd + 2 + size + 2) {
        const int got = Fill();
        if (got != 1) return ended(got, ReplyEnd::ClosedInBody);
      }
      reply.Body += buffered_.substr(sizeEnd + 2, size);
      buffered_.erase(0, sizeEnd + 2 + size + 2);
      if (size == 0) break;
    }
  } else {
    while (true) {
      const int got = Fill();
      if (got == 0) break;
      if (got != 1) return ended(got, ReplyEnd::ClosedInBody);
    }
    reply.Body = buffered_;
    buffered_.clear();
  }
  reply.End = ReplyEnd::Complete;
  return reply;
}

std::string GetRequest(const std::string& target, const std::string& extraHeaders) {
  return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" + extraHeaders + "\r\n";
}

}  // namespace korvane::test
