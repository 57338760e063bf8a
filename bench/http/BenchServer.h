#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace korvane::bench {

// A loopback HTTP server for the benchmark: every connection gets one reply carrying a fixed
// body with "Connection: close", after which the server closes; so every request of either
// client opens a new TCP connection. Serves one connection at a time on its own thread, which
// matches clients that send one request after the other.
class BenchServer {
 public:
  explicit BenchServer(std::size_t bodyBytes);
  ~BenchServer();
  BenchServer(const BenchServer&) = delete;
  BenchServer& operator=(const BenchServer&) = delete;

  std::string Url() const;
  const std::string& Body() const { return body_; }

 private:
  void Run();
  void Serve(int fd);

  std::string body_;
  std::string reply_;
  int listenFd_ = -1;
  int wakeFd_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

}  // namespace korvane::bench
