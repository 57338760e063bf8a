#include "support/TinyproxyFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

#include "platform/FileSystem.h"
#include "support/ChildProcess.h"

namespace korvane::test {
namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* ListeningLine = "Accepting connections";
constexpr auto LogPollInterval = std::chrono::milliseconds(20);

// A port the system considers free right now.
int FreshPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(fd);
  return port;
}

}  // namespace

TinyproxyFixture::TinyproxyFixture(const std::vector<int>& connectPorts) {
  for (int attempt = 0; attempt < StartAttempts; ++attempt) {
    if (TryStart(FreshPort(), connectPorts)) return;
  }
  throw std::runtime_error("tinyproxy did not start; its log:\n" + Log());
}

TinyproxyFixture::~TinyproxyFixture() {
  Stop();
}

bool TinyproxyFixture::TryStart(int port, const std::vector<int>& connectPorts) {
  const std::string configPath = folder_.Path() + "tinyproxy.conf";
  std::string config = "Port " + std::to_string(port) +
                       "\nListen 127.0.0.1\nTimeout 60\nMaxClients 64\nAllow 127.0.0.1\n"
                       "LogLevel Info\nLogFile \"" +
                       folder_.Path() + "tinyproxy.log\"\nDisableViaHeader Yes\nBasicAuth " +
                       user_ + " " + password_ + "\n";
  for (int connectPort : connectPorts)
    config += "ConnectPort " + std::to_string(connectPort) + "\n";
  WriteFileBytes(configPath, config);
  if (FileExists(folder_.Path() + "tinyproxy.log")) DeleteFile(folder_.Path() + "tinyproxy.log");

  pid_ = SpawnChild({"tinyproxy", "-d", "-c", configPath}, nullptr);
  const auto deadline = Clock::now() + StartTimeout;
  while (Clock::now() < deadline) {
    if (Log().find(ListeningLine) != std::string::npos) {
      port_ = port;
      return true;
    }
    int status = 0;
    if (WaitForChildExit(pid_, LogPollInterval, status)) {
      pid_ = -1;  // it could not listen there (or at all)
      return false;
    }
  }
  Stop();
  return false;
}

std::string TinyproxyFixture::ProxyConfig() const {
  return ProxyConfig(password_);
}

std::string TinyproxyFixture::ProxyConfig(const std::string& password) const {
  return "[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=" + std::to_string(port_) +
         "\r\nProxyUsername=" + user_ + "\r\nProxyPassword=" + password + "\r\n";
}

std::string TinyproxyFixture::Log() const {
  const std::string path = folder_.Path() + "tinyproxy.log";
  return FileExists(path) ? ReadFileBytes(path) : std::string();
}

int TinyproxyFixture::Stop() {
  if (pid_ > 0) {
    exitStatus_ = StopChild(pid_, StopTimeout);
    pid_ = -1;
  }
  return exitStatus_;
}

}  // namespace korvane::test
