#include "net/HostResolver.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <poll.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>

#include "net/AbortSignal.h"
#include "net/HttpErrors.h"
#include "net/SocketErrors.h"

namespace korvane {
namespace {

std::optional<in_addr> AskSystemResolver(const std::string& host) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  in_addr address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  freeaddrinfo(found);
  return address;
}

// What the resolver thread and the waiting caller share; whichever leaves last frees it.
struct PendingLookup {
  PendingLookup() : DoneFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
  ~PendingLookup() {
    if (DoneFd >= 0) ::close(DoneFd);
  }
  PendingLookup(const PendingLookup&) = delete;
  PendingLookup& operator=(const PendingLookup&) = delete;

  const int DoneFd;
  std::mutex Mutex;
  bool Done = false;               // guarded by Mutex
  std::optional<in_addr> Address;  // guarded by Mutex
};

// Waits for the lookup's answer until the deadline or an abort; nullopt when none came.
std::optional<in_addr> AwaitLookup(PendingLookup& lookup, Milliseconds realTimeout,
                                   const AbortSignal* abort) {
  using SteadyClock = std::chrono::steady_clock;
  const SteadyClock::time_point deadline = SteadyClock::now() + realTimeout;
  const int abortFd = abort != nullptr ? abort->WaitFd() : -1;
  for (;;) {
    if (abort != nullptr) abort->ThrowIfRaised();
    {
      std::lock_guard<std::mutex> lock(lookup.Mutex);
      if (lookup.Done) return lookup.Address;
    }
    auto left = std::chrono::ceil<Milliseconds>(deadline - SteadyClock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd entries[2] = {{lookup.DoneFd, POLLIN, 0}, {abortFd, POLLIN, 0}};
    const int timeoutMs = static_cast<int>(std::min<long long>(left.count(), INT_MAX));
    if (::poll(entries, abortFd >= 0 ? 2 : 1, timeoutMs) < 0 && errno != EINTR) {
      return std::nullopt;
    }
  }
}

}  // namespace

in_addr ResolveHost(const std::string& host, Milliseconds realTimeout, const AbortSignal* abort) {
  in_addr address{};
  if (strcasecmp(host.c_str(), "localhost") == 0) {
    address.s_addr = htonl(INADDR_LOOPBACK);
    return address;
  }
  if (inet_pton(AF_INET, host.c_str(), &address) == 1) return address;
  if (host.empty()) throw SocketError(WsaHostNotFound);

  auto lookup = std::make_shared<PendingLookup>();
  std::optional<in_addr> found;
  if (lookup->DoneFd < 0) {
    found = AskSystemResolver(host);  // no way to wait with a bound: ask on this thread
  } else {
    try {
      std::thread([lookup, host] {
        std::optional<in_addr> answer = AskSystemResolver(host);
        std::lock_guard<std::mutex> lock(lookup->Mutex);
        lookup->Address = answer;
        lookup->Done = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t ignored = ::write(lookup->DoneFd, &one, sizeof one);
      }).detach();
      found = AwaitLookup(*lookup, realTimeout, abort);
    } catch (const std::system_error&) {
      found = AskSystemResolver(host);  // no thread to spare: ask on this thread
    }
  }
  if (!found) throw SocketError(WsaHostNotFound);
  return *found;
}

}  // namespace korvane
