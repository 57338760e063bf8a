#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace korvane::test {

// A real HTTP proxy for a test: tinyproxy (Debian package "tinyproxy") on 127.0.0.1 with a
// generated configuration in a temporary folder: Basic authentication with User/Password,
// CONNECT allowed only to the given ports, its log in the folder. Stopped with the fixture.
//
// The port: tinyproxy cannot be told to pick one and report it, so the fixture offers it ports
// the system just handed out and takes the first one tinyproxy manages to listen on (its log
// says so), trying again when another process took the port meanwhile.
//
// Construction fails with std::runtime_error when tinyproxy is missing or does not start.
class TinyproxyFixture {
 public:
  explicit TinyproxyFixture(const std::vector<int>& connectPorts);
  ~TinyproxyFixture();
  TinyproxyFixture(const TinyproxyFixture&) = delete;
  TinyproxyFixture& operator=(const TinyproxyFixture&) = delete;

  int Port() const { return port_; }
  const std::string& User() const { return user_; }
  const std::string& Password() const { return password_; }

  // A config.ini "[Proxy]" section (CR LF lines) that sends the program through this proxy
  // with these credentials.
  std::string ProxyConfig() const;
  std::string ProxyConfig(const std::string& password) const;

  // What tinyproxy has logged so far.
  std::string Log() const;

  // Stops the proxy (SIGTERM, then SIGKILL) and returns its exit status; idempotent.
  int Stop();

  static constexpr std::chrono::milliseconds StartTimeout{20'000};
  static constexpr std::chrono::milliseconds StopTimeout{10'000};
  static constexpr int StartAttempts = 5;

 private:
  bool TryStart(int port, const std::vector<int>& connectPorts);

  TempFolder folder_;
  std::string user_ = "korvane";
  std::string password_ = "proxy-pass";
  pid_t pid_ = -1;
  int port_ = 0;
  int exitStatus_ = -1;
};

}  // namespace korvane::test
