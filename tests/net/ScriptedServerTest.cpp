#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "support/ScriptedServer.h"

namespace korvane::test {
namespace {

int ConnectTo(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  EXPECT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  return fd;
}

TEST(ScriptedServer, StopsWhetherOrNotAClientCame) {
  { ScriptedServer idle; }
  int fd = -1;
  {
    ScriptedServer server;
    server.AddConnection(ConnectionScript().Stall());
    fd = ConnectTo(server.Port());
    ASSERT_EQ(::send(fd, "abc", 3, 0), 3);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server.AcceptedCount() == 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(server.AcceptedCount(), 1) << "the server never accepted";
  }
  ::close(fd);
}

TEST(ScriptedServer, RespondServesRequestsUntilTheClientCloses) {
  ScriptedServer server;
  server.SetDefaultScript(ConnectionScript().Respond(
      [](const std::string& request) { return "got " + request.substr(0, 5) + ";"; }));
  int fd = ConnectTo(server.Port());
  std::string replies;
  for (const char* request : {"GET /1\r\n\r\n", "GET /2\r\n\r\n"}) {
    ASSERT_GT(::send(fd, request, std::strlen(request), 0), 0);
    char buffer[64];
    ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
    ASSERT_GT(n, 0);
    replies.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  server.Stop();
  EXPECT_EQ(replies, "got GET /;got GET /;");
  EXPECT_EQ(server.AllReceived(), std::vector<std::string>{"GET /1\r\n\r\nGET /2\r\n\r\n"});
}

}  // namespace
}  // namespace korvane::test
