#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>
#include <vector>

#include "net/HttpClient.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TestCertificates.h"
#include "support/TlsTestServer.h"

namespace korvane {
namespace {

using SteadyClock = std::chrono::steady_clock;
using test::ConnectionScript;
using test::ScriptedServer;

// Far below the time-outs the test clock leaves in force (RecordingClock::LongestRealTimeout):
// an abort that did not work would show as a wait this long.
constexpr auto AbortBound = std::chrono::seconds(3);
constexpr auto AbortDelay = std::chrono::milliseconds(150);

// Runs the request, aborts it from another thread after AbortDelay, and reports what the
// request raised and how long it took.
struct AbortedRequest {
  std::string message;
  SteadyClock::duration took{};
};

AbortedRequest GetAndAbort(HttpClient& client, const std::string& url) {
  AbortedRequest result;
  // Started before the stopper, so that the abort comes at least AbortDelay after it.
  const auto start = SteadyClock::now();
  std::thread stopper([&client] {
    std::this_thread::sleep_for(AbortDelay);
    client.Abort();
  });
  try {
    std::string body;
    client.Get(url, body);
    result.message = "ok: " + body;
  } catch (const RequestAbortedError& error) {
    result.message = "aborted: " + error.Message();
  } catch (const Exception& error) {
    result.message = "other: " + error.Message();
  }
  result.took = SteadyClock::now() - start;
  stopper.join();
  return result;
}

// A loopback port whose listener never accepts and whose queue is full: a connect to it is
// left unanswered, as by a silent host.
class SilentHost {
 public:
  SilentHost() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 0);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    for (int i = 0; i < 2; ++i) {
      fillers_.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
      ::connect(fillers_.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
    }
  }
  ~SilentHost() {
    for (int fd : fillers_)
      ::close(fd);
    ::close(listener_);
  }
  std::string Url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/"; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::vector<int> fillers_;
};

TEST(HttpClientAbort, EndsEveryKindOfWaitAtOnce) {
  test::RecordingClock clock;  // time-outs stay long: only the abort can end these waits
  ScriptedServer stalled;
  stalled.SetDefaultScript(ConnectionScript().AwaitRequest().Stall());
  test::TestCertificateAuthority authority;
  test::TlsTestServer silentTls(authority.Issue());
  silentTls.AddConnection([](test::TlsTestSession& session) { session.AwaitClose(); });
  SilentHost silent;

  const std::vector<std::pair<std::string, std::string>> waits = {
      {"a reply", stalled.Url()},
      {"a TLS handshake", silentTls.Url()},
      {"a connect", silent.Url()},
  };
  for (const auto& [what, url] : waits) {
    HttpClient client;
    const AbortedRequest aborted = GetAndAbort(client, url);
    EXPECT_EQ(aborted.message, "aborted: The request was aborted.") << what;
    EXPECT_GE(aborted.took, AbortDelay) << what;
    EXPECT_LT(aborted.took, AbortBound) << what;
  }
}

TEST(HttpClientAbort, StaysInForceUntilCleared) {
  ScriptedServer server;
  server.SetDefaultScript(ConnectionScript().Respond([](const std::string&) {
    return std::string("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok");
  }));
  HttpClient client;
  std::string body;
  client.Get(server.Url(), body);
  client.Abort();
  EXPECT_TRUE(client.IsAborted());
  EXPECT_THROW(client.Get(server.Url(), body), RequestAbortedError);
  client.ClearAbort();
  body.clear();
  client.Get(server.Url(), body);
  EXPECT_EQ(body, "ok");
  // The refused request sent nothing; the kept connection carried on.
  server.Stop();
  EXPECT_EQ(server.AcceptedCount(), 1);
  const std::string received = server.Received(0);
  std::size_t requests = 0;
  for (std::size_t at = received.find("GET "); at != std::string::npos;
       at = received.find("GET ", at + 1)) {
    ++requests;
  }
  EXPECT_EQ(requests, 2u);
}

TEST(HttpClientAbort, ClientsAbortedFromManyThreads) {
  test::RecordingClock clock;
  ScriptedServer server;
  server.SetDefaultScript(ConnectionScript().AwaitRequest().Stall());
  constexpr int Clients = 4;
  std::vector<std::unique_ptr<HttpClient>> clients;
  for (int i = 0; i < Clients; ++i)
    clients.push_back(std::make_unique<HttpClient>());
  std::vector<std::thread> workers;
  std::atomic<int> aborted{0};
  for (auto& client : clients) {
    workers.emplace_back([&client, &server, &aborted] {
      std::string body;
      try {
        client->Get(server.Url(), body);
      } catch (const RequestAbortedError&) {
        ++aborted;
      }
    });
  }
  std::this_thread::sleep_for(AbortDelay);
  const auto start = SteadyClock::now();
  for (auto& client : clients)
    client->Abort();
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(aborted, Clients);
  EXPECT_LT(SteadyClock::now() - start, AbortBound);
}

}  // namespace
}  // namespace korvane
