#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "net/HttpClient.h"
#include "support/ScriptedServer.h"

namespace korvane {
namespace {

// Clients are made, used and destroyed on several threads at once, each with its own
// connection.
TEST(SocketLayer, ClientsOnManyThreadsEachGetTheirAnswer) {
  test::ScriptedServer server;
  server.SetDefaultScript(test::ConnectionScript().Respond([](const std::string&) {
    return std::string("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  }));
  std::vector<std::thread> workers;
  std::atomic<int> successes{0};
  for (int worker = 0; worker < 8; ++worker) {
    workers.emplace_back([&] {
      for (int round = 0; round < 20; ++round) {
        HttpClient client;
        std::string body;
        client.Get(server.Url(), body);
        if (body == "ok") ++successes;
      }
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(successes, 8 * 20);
}

}  // namespace
}  // namespace korvane
