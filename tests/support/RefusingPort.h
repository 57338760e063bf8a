#pragma once

#include <string>

namespace korvane::test {

// A loopback port that refuses every connection: a socket bound to 127.0.0.1 with a port of the
// system's choice that never listens. It is kept bound for the object's life, so no other test
// running at the same time can be handed the number and answer in its place.
class RefusingPort {
 public:
  RefusingPort();
  ~RefusingPort();
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;

  int Port() const { return port_; }
  // "127.0.0.1:" + Port().
  std::string HostPort() const;

 private:
  int fd_ = -1;
  int port_ = 0;
};

}  // namespace korvane::test
