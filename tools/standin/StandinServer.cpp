#include "StandinServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "Connection.h"
#include "FaultReply.h"
#include "HttpRequest.h"
#include "ServiceRequest.h"
#include "TlsServerContext.h"

namespace korvane::standin {

namespace {

constexpr const char* ServerName = "korvane-standin";

int BindListener(const ListenAddress& address, std::string& bound) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) throw Exception(std::string("cannot create a socket: ") + std::strerror(errno));
  const int on = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in socketAddress{};
  socketAddress.sin_family = AF_INET;
  socketAddress.sin_port = htons(static_cast<std::uint16_t>(address.Port));
  ::inet_pton(AF_INET, address.Host.c_str(), &socketAddress.sin_addr);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&socketAddress), sizeof socketAddress) != 0 ||
      ::listen(fd, ListenBacklog) != 0) {
    const std::string reason = std::strerror(errno);
    ::close(fd);
    throw Exception("cannot listen on " + address.Host + ":" + std::to_string(address.Port) + ": " +
                    reason);
  }
  socklen_t length = sizeof socketAddress;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&socketAddress), &length);
  bound = address.Host + ":" + std::to_string(ntohs(socketAddress.sin_port));
  return fd;
}

// The status line and headers of a reply. With no length the body's end is shown by chunks
// (chunked) or by closing the connection.
std::string ReplyHead(const Reply& reply, std::string_view version, bool withLength, bool chunked,
                      const char* connection) {
  std::string head(version);
  head += " " + std::to_string(reply.Status);
  // Without a reason the line ends right after the number, so a client that takes the rest of
  // the line as the reply text sees the number alone.
  if (!reply.Reason.empty()) head += " " + reply.Reason;
  head += "\r\n";
  if (!reply.ContentType.empty()) head += "Content-Type: " + reply.ContentType + "\r\n";
  if (withLength) head += "Content-Length: " + std::to_string(reply.Body->size()) + "\r\n";
  if (chunked) head += "Transfer-Encoding: chunked\r\n";
  for (const auto& [name, value] : reply.Headers)
    head += name + ": " + value + "\r\n";
  head += std::string("Server: ") + ServerName + "\r\n";
  if (connection != nullptr) head += std::string("Connection: ") + connection + "\r\n";
  return head + "\r\n";
}

std::string Chunks(const std::string& body) {
  std::string chunks;
  for (std::size_t i = 0; i < body.size(); i += ReplyChunkBytes) {
    const std::size_t size = std::min(ReplyChunkBytes, body.size() - i);
    char sizeLine[24];
    std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", size);
    chunks += sizeLine;
    chunks.append(body, i, size);
    chunks += "\r\n";
  }
  return chunks + "0\r\n\r\n";
}

bool NeedsNormalAnswer(FaultKind kind) {
  switch (kind) {
    case FaultKind::Reset:
    case FaultKind::Close:
    case FaultKind::Stall:
    case FaultKind::Status:
    case FaultKind::Html:
    case FaultKind::NoCoverage:
    case FaultKind::Oversize:
    case FaultKind::Endless:
    case FaultKind::Sorry:
    case FaultKind::Placeholder:
      return false;
    default:
      return true;
  }
}

// Body bytes of no meaning (never 0xFF, so no JPEG marker either).
const std::string& Filler() {
  static const std::string filler(FillerBlockBytes, 'x');
  return filler;
}

// The reply one byte at a time, `interval` apart; false when the client or the service went.
bool Drip(Connection& connection, const std::string& bytes, Milliseconds interval) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0 && !connection.Wait(interval)) return false;
    if (!connection.Send({std::string_view(bytes).substr(i, 1)})) return false;
  }
  return true;
}

// A head announcing `announced` body bytes, then filler up to that many, or until the client
// or the service goes.
void SendOversize(Connection& connection, Reply reply, long long announced) {
  reply.Headers.emplace_back("Content-Length", std::to_string(announced));
  if (!connection.Send({ReplyHead(reply, "HTTP/1.1", false, false, "close")})) return;
  for (long long left = announced; left > 0;) {
    const auto piece = static_cast<std::size_t>(
        std::min<long long>(left, static_cast<long long>(FillerBlockBytes)));
    if (!connection.Wait(Milliseconds(0)) ||
        !connection.Send({std::string_view(Filler()).substr(0, piece)})) {
      return;
    }
    left -= static_cast<long long>(piece);
  }
}

// A chunked head, then chunks of filler until the client or the service goes.
void SendEndless(Connection& connection, const Reply& reply) {
  char sizeLine[24];
  std::snprintf(sizeLine, sizeof sizeLine, "%zx\r\n", Filler().size());
  if (!connection.Send({ReplyHead(reply, "HTTP/1.1", false, true, nullptr)})) return;
  while (connection.Wait(Milliseconds(0)) && connection.Send({sizeLine, Filler(), "\r\n"})) {
  }
}

}  // namespace

int AttemptCounter::Next(const std::string& key) {
  std::lock_guard lock(mutex_);
  return ++counts_[key];
}

StandinServer::StandinServer(const std::vector<ListenAddress>& addresses, FaultPlan plan,
                             RequestLog& log, const TlsServerContext* tls,
                             MapTilesSettings mapTiles, const StreetNetwork* town)
    : plan_(std::move(plan)),
      log_(log),
      service_(tiles_, town),
      mapTiles_(std::move(mapTiles), service_),
      tls_(tls) {
  if (plan_.RateLimit()) limiter_ = std::make_unique<RateLimiter>(plan_.RateLimit()->PerSecond);
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    throw Exception(std::string("cannot create a pipe: ") + std::strerror(errno));
  }
  stopRead_ = pipeFds[0];
  stopWrite_ = pipeFds[1];
  try {
    for (const ListenAddress& address : addresses) {
      std::string bound;
      listeners_.push_back(BindListener(address, bound));
      bound_.push_back(bound);
    }
  } catch (...) {
    for (const int fd : listeners_)
      ::close(fd);
    ::close(stopRead_);
    ::close(stopWrite_);
    throw;
  }
}

StandinServer::~StandinServer() {
  Reap(true);
  for (const int fd : listeners_)
    ::close(fd);
  ::close(stopRead_);
  ::close(stopWrite_);
}

void StandinServer::RequestStop() noexcept {
  // The byte is never read: the pipe stays readable and wakes every present and future wait.
  const char byte = 's';
  [[maybe_unused]] const ssize_t ignored = ::write(stopWrite_, &byte, 1);
}

void StandinServer::Run() {
  std::vector<pollfd> fds;
  for (const int fd : listeners_)
    fds.push_back({fd, POLLIN, 0});
  fds.push_back({stopRead_, POLLIN, 0});
  while (true) {
    const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(ReapInterval.count()));
    if (ready < 0 && errno != EINTR) break;
    if (fds.back().revents != 0) break;
    for (std::size_t i = 0; i + 1 < fds.size(); ++i) {
      if (fds[i].revents & POLLIN) AcceptAll(static_cast<int>(i));
    }
    Reap(false);
  }
  for (const int fd : listeners_)
    ::close(fd);
  listeners_.clear();
  Reap(true);
}

void StandinServer::AcceptAll(int listener) {
  while (true) {
    const int fd = ::accept4(listeners_[static_cast<std::size_t>(listener)], nullptr, nullptr,
                             SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      return;  // nothing more waiting, or out of descriptors until connections end
    }
    if (active_.load() >= MaxConnections) {
      ::close(fd);
      continue;
    }
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    Worker& worker = workers_.emplace_back();
    ++active_;
    try {
      worker.Thread = std::thread([this, fd, listener, &worker] {
        try {
          Serve(fd, listener);
        } catch (const std::exception& error) {
          // Only this connection ends (its socket closes with it); the service goes on.
          std::fprintf(stderr, "korvane-standin: connection dropped: %s\n", error.what());
        }
        --active_;
        worker.Done.store(true, std::memory_order_release);
      });
    } catch (const std::system_error&) {
      --active_;
      ::close(fd);
      workers_.pop_back();
    }
  }
}

void StandinServer::Reap(bool all) {
  for (auto it = workers_.begin(); it != workers_.end();) {
    if (all || it->Done.load(std::memory_order_acquire)) {
      if (it->Thread.joinable()) it->Thread.join();
      it = workers_.erase(it);
    } else {
      ++it;
    }
  }
}

void StandinServer::Serve(int fd, int listener) {
  Connection connection(fd, stopRead_, tls_ != nullptr ? tls_->Native() : nullptr);
  if (!connection.Open(IdleTimeout)) return;
  std::string buffer;
  while (true) {
    HeadParse head = ParseRequestHead(buffer);
    while (head.State == HeadParse::Result::NeedMore) {
      if (!connection.Receive(buffer, IdleTimeout)) return;
      head = ParseRequestHead(buffer);
    }
    if (head.State == HeadParse::Result::Bad) {
      log_.Write({listener, 0, "bad-request", 400, "", buffer});
      const Reply reply = StatusReply(400, ReasonPhrase(400));
      connection.Send({ReplyHead(reply, "HTTP/1.1", true, false, "close"), *reply.Body});
      connection.CloseGracefully();
      return;
    }
    const std::size_t total = head.HeadBytes + head.Request.ContentLength;
    while (buffer.size() < total) {
      if (!connection.Receive(buffer, IdleTimeout)) return;
    }
    const std::string raw = buffer.substr(0, total);
    buffer.erase(0, total);
    if (!Handle(connection, listener, head.Request, raw)) return;
  }
}

bool StandinServer::Handle(Connection& connection, int listener, const HttpRequest& request,
                           std::string_view raw) {
  const int attempt = attempts_.Next(request.Method + " " + CountedTarget(request.Target));
  const ServiceRequest asked = ClassifyRequest(request.Method, request.Target);
  // Every request of the limit's subject counts against it, also those it refuses.
  const bool overLimit = limiter_ && plan_.RateLimited(asked) && !limiter_->Admit();
  const FaultAction action = overLimit ? plan_.RateLimitedAction() : plan_.Match(asked, attempt);
  const bool mapTiles = asked.Call != MapTilesCall::None;
  const std::string_view body = raw.substr(raw.size() - request.ContentLength);
  Reply reply = action.Kind == FaultKind::Placeholder ? service_.Placeholder()
                : !NeedsNormalAnswer(action.Kind)     ? Reply()
                : mapTiles
                    ? mapTiles_.Answer(asked, request.Header("Content-Type").value_or(""), body)
                    : service_.Answer(asked);
  reply = ShapeReply(action, std::move(reply), asked);

  const bool silent = action.Kind == FaultKind::Reset || action.Kind == FaultKind::Close ||
                      action.Kind == FaultKind::Stall;
  if (action.Kind == FaultKind::Oversize || action.Kind == FaultKind::Endless) {
    reply.ContentType = "image/jpeg";
  }
  log_.Write(
      {listener, attempt, action.Describe(), silent ? 0 : reply.Status, request.Target, raw});

  const int delayMs = action.DelayMs + plan_.LatencyFor(asked);
  if (delayMs > 0 && !connection.Wait(Milliseconds(delayMs))) return false;
  const bool keepAlive = request.KeepAlive;
  const char* persistence =
      keepAlive ? (request.VersionMinor == 0 ? "keep-alive" : nullptr) : "close";
  switch (action.Kind) {
    case FaultKind::Reset:
      connection.Reset();
      return false;
    case FaultKind::Close:
      connection.CloseGracefully();
      return false;
    case FaultKind::Stall:
      connection.WaitForClientClose();
      return false;
    case FaultKind::Cut: {
      const std::string_view part =
          std::string_view(*reply.Body).substr(0, KeptBytes(action, reply.Body->size()));
      connection.Send({ReplyHead(reply, "HTTP/1.1", true, false, "close"), part});
      connection.CloseGracefully();
      return false;
    }
    case FaultKind::Http10:
      connection.Send({ReplyHead(reply, "HTTP/1.0", false, false, nullptr), *reply.Body});
      connection.CloseGracefully();
      return false;
    case FaultKind::HeadOnly:
      if (connection.Send({ReplyHead(reply, "HTTP/1.1", true, false, persistence)})) {
        connection.WaitForClientClose();
      }
      return false;
    case FaultKind::Drip:
      if (!Drip(connection, ReplyHead(reply, "HTTP/1.1", true, false, "close") + *reply.Body,
                Milliseconds(action.DripMs))) {
        return false;
      }
      connection.CloseGracefully();
      return false;
    case FaultKind::Oversize:
      SendOversize(connection, std::move(reply),
                   action.Bytes >= 0 ? action.Bytes : OversizeBodyBytes);
      connection.CloseGracefully();
      return false;
    case FaultKind::Endless:
      SendEndless(connection, reply);
      connection.CloseGracefully();
      return false;
    case FaultKind::Chunked:
      if (!connection.Send(
              {ReplyHead(reply, "HTTP/1.1", false, true, persistence), Chunks(*reply.Body)})) {
        return false;
      }
      break;
    default:
      if (!connection.Send({ReplyHead(reply, "HTTP/1.1", true, false, persistence), *reply.Body})) {
        return false;
      }
      break;
  }
  if (!keepAlive) connection.CloseGracefully();
  return keepAlive;
}

}  // namespace korvane::standin
