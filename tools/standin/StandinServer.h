#pragma once

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <unordered_map>
#include <vector>

#include "FaultPlan.h"
#include "ListenAddress.h"
#include "MapTilesService.h"
#include "RequestLog.h"
#include "ServiceAnswers.h"
#include "TileCache.h"

namespace korvane::standin {

class Connection;
class TlsServerContext;
struct HttpRequest;

// Counts the requests for each method and target, across all listeners.
class AttemptCounter {
 public:
  // The number of this request for the key, 1 for the first.
  int Next(const std::string& key);

 private:
  std::mutex mutex_;
  std::unordered_map<std::string, int> counts_;
};

// The stand-in service: HTTP/1.1 over loopback TCP, one thread per connection, keep-alive,
// the answers of StandinService bent by the fault plan, every request in the log.
//
// Lifecycle: the constructor binds every listener (raising korvane::Exception when one cannot
// be bound); Run serves on the calling thread until RequestStop, then closes the listeners,
// ends every connection (stalled and delayed ones included) and returns once all connection
// threads have ended. RequestStop may be called from any thread or a signal handler. Destroy
// the server only after Run has returned (or when it never ran).
class StandinServer {
 public:
  // With a TLS context (which must outlive the server) every listener speaks TLS.
  // mapTiles: the keys, sessions and quota of its Map Tiles API; with a town (StandinService),
  // the current protocol's lookups answer from it.
  StandinServer(const std::vector<ListenAddress>& addresses, FaultPlan plan, RequestLog& log,
                const TlsServerContext* tls = nullptr, MapTilesSettings mapTiles = {},
                const StreetNetwork* town = nullptr);
  ~StandinServer();
  StandinServer(const StandinServer&) = delete;
  StandinServer& operator=(const StandinServer&) = delete;

  // "ADDR:PORT" of each listener in the order given, with the port actually bound.
  const std::vector<std::string>& BoundAddresses() const { return bound_; }

  void Run();

  // Async-signal-safe.
  void RequestStop() noexcept;

 private:
  struct Worker {
    std::thread Thread;
    std::atomic<bool> Done{false};
  };

  void AcceptAll(int listener);
  void Reap(bool all);
  void Serve(int fd, int listener);
  // Answers one request; false when the connection must end.
  bool Handle(Connection& connection, int listener, const HttpRequest& request,
              std::string_view raw);

  std::vector<int> listeners_;
  std::vector<std::string> bound_;
  int stopRead_ = -1;
  int stopWrite_ = -1;
  FaultPlan plan_;
  RequestLog& log_;
  TileCache tiles_;
  StandinService service_;
  MapTilesService mapTiles_;
  AttemptCounter attempts_;
  std::unique_ptr<RateLimiter> limiter_;  // when the plan has a rate limit
  std::list<Worker> workers_;             // only the thread in Run touches the list
  std::atomic<int> active_{0};
  const TlsServerContext* tls_ = nullptr;
};

}  // namespace korvane::standin
