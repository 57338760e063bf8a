#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "net/HttpClient.h"
#include "net/SocketLayer.h"
#include "support/ScriptedServer.h"

namespace korvane {
namespace {

TEST(SocketLayer, ClientsOnManyThreadsShareOneStart) {
  test::ScriptedServer server;
  server.SetDefaultScript(test::ConnectionScript().Respond([](const std::string&) {
    return std::string("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  }));
  const int before = SocketLayerLiveClients();
  std::vector<std::thread> workers;
  std::atomic<int> successes{0};
  for (int worker = 0; worker < 8; ++worker) {
    workers.emplace_back([&] {
      for (int round = 0; round < 20; ++round) {
        HttpClient client;
        EXPECT_GT(SocketLayerLiveClients(), before);
        std::string body;
        client.Get(server.Url(), body);
        if (body == "ok") ++successes;
      }
    });
  }
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(successes, 8 * 20);
  EXPECT_EQ(SocketLayerLiveClients(), before);
  EXPECT_EQ(SocketLayerStartCount(), 1);
}

}  // namespace
}  // namespace korvane
