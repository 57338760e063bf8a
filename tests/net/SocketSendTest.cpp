#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "net/HttpErrors.h"
#include "net/TcpConnection.h"

namespace korvane {
namespace {

// In a fresh process where no HttpClient was ever made: a connection whose peer has gone
// fails its send with an error instead of ending the process by SIGPIPE.
void SendToAClosedPeerBeforeAnyClient() {
  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::listen(listener, 1);
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

  TcpConnection connection;
  connection.Connect(address.sin_addr, ntohs(address.sin_port), Milliseconds(5000));
  ::close(::accept(listener, nullptr, nullptr));  // the peer goes at once
  ::close(listener);
  const std::string block(64 * 1024, 'x');
  try {
    for (int i = 0; i < 100; ++i)
      connection.SendAll(block, Milliseconds(5000));
  } catch (const SocketError& error) {
    std::_Exit(error.LastError() == 10054 ? 0 : 4);
  }
  std::_Exit(5);
}

TEST(SocketSendDeathTest, NoSigpipeBeforeTheFirstClient) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child starts afresh
  EXPECT_EXIT(SendToAClosedPeerBeforeAnyClient(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace korvane
