#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <functional>

#include "net/BrowserHeaders.h"
#include "net/CookieStore.h"
#include "net/HttpClient.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

using test::ConnectionScript;
using test::ScriptedServer;

const std::string Hello = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";

// The message of what `Get` raised, prefixed with the kind, or "ok: " + body.
std::string Outcome(HttpClient& client, const std::string& url) {
  std::string body;
  try {
    client.Get(url, body);
    return "ok: " + body;
  } catch (const HttpStatusError& error) {
    return "reply: " + error.Message();
  } catch (const SocketError& error) {
    return "socket: " + error.Message();
  } catch (const ConnectionClosedError& error) {
    return "closed: " + error.Message();
  } catch (const HttpClientError& error) {
    return "own: " + error.Message();
  } catch (const Exception& error) {
    return "other: " + error.Message();
  }
}

TEST(HttpClient, SendsTheBrowserRequestAndReturnsTheBody) {
  test::TempProgramFolder folder;
  folder.WriteConfig("[Service]\r\nHomePage=http://maps.example.test/\r\n");
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  SetBrowserHeaders(client);
  client.Request.ExtraHeaders.push_back("Cookie: " + GetMapCookies());

  EXPECT_EQ(Outcome(client, server.Url("/cbk?output=tile&panoid=p-1_A&x=1&y=2&zoom=3#f")),
            "ok: hello");
  EXPECT_EQ(client.ResponseCode(), 200);
  EXPECT_EQ(client.ResponseText(), "200 OK");
  EXPECT_EQ(server.Received(0),
            "GET /cbk?output=tile&panoid=p-1_A&x=1&y=2&zoom=3 HTTP/1.1\r\n"
            "Host: " +
                server.HostPort() +
                "\r\n"
                "Accept: text/html, */*\r\n"
                "Referer: http://maps.example.test/\r\n"
                "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"
                "Connection: Keep_Alive\r\n"
                "Cookie: \r\n"
                "\r\n");
}

TEST(HttpClient, KeptConnectionServesOnlyTheSameHostAndPort) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Reply(Hello).Reply(Hello));
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url("/1")), "ok: hello");
  EXPECT_EQ(Outcome(client, server.Url("/2")), "ok: hello");
  // Another spelling of the host is another host.
  EXPECT_EQ(Outcome(client, "http://localhost:" + std::to_string(server.Port()) + "/3"),
            "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
  EXPECT_NE(server.Received(0).find("GET /2 "), std::string::npos);
}

TEST(HttpClient, ClosesAfterAnHttp10OrConnectionCloseReply) {
  ScriptedServer server;
  server.AddConnection(
      ConnectionScript().Reply("HTTP/1.0 200 OK\r\nContent-Length: 1\r\n\r\na").KeepOpen());
  server.AddConnection(
      ConnectionScript()
          .Reply("HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 1\r\n\r\nb")
          .KeepOpen());
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()), "ok: a");
  EXPECT_EQ(Outcome(client, server.Url()), "ok: b");
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 3);
}

TEST(HttpClient, ConnectionTheServerClosedIsReplacedSilently) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Reply(Hello));  // then closes
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  ASSERT_TRUE(server.WaitForServerClose(0));
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
}

TEST(HttpClient, ProxyConnectionIsReusedWithAbsoluteTargets) {
  ScriptedServer proxy;
  proxy.AddConnection(ConnectionScript().Reply(Hello).Reply(Hello));
  HttpClient client;
  client.Request.ProxyServer = "LOCALHOST";
  client.Request.ProxyPort = proxy.Port();
  client.Request.ProxyUsername = "user";
  client.Request.ExtraHeaders = {"Cookie: a=1"};
  // The hosts are never resolved: only the proxy is connected to.
  EXPECT_EQ(Outcome(client, "http://cbk0.example.invalid/cbk?x=1"), "ok: hello");
  EXPECT_EQ(Outcome(client, "http://cbk1.example.invalid/cbk?x=2"), "ok: hello");
  EXPECT_EQ(proxy.AcceptedCount(), 1);
  EXPECT_EQ(proxy.Received(0),
            "GET http://cbk0.example.invalid/cbk?x=1 HTTP/1.1\r\n"
            "Host: cbk0.example.invalid\r\n"
            "Accept: text/html, */*\r\n"
            "Proxy-Authorization: Basic dXNlcjo=\r\n"
            "Cookie: a=1\r\n"
            "\r\n"
            "GET http://cbk1.example.invalid/cbk?x=2 HTTP/1.1\r\n"
            "Host: cbk1.example.invalid\r\n"
            "Accept: text/html, */*\r\n"
            "Proxy-Authorization: Basic dXNlcjo=\r\n"
            "Cookie: a=1\r\n"
            "\r\n");
}

TEST(HttpClient, RepliesThatAreNoSuccessLeaveTheConnectionUsable) {
  ScriptedServer server;
  HttpClient client;
  const std::string elsewhere = server.Url("/elsewhere");
  server.AddConnection(
      ConnectionScript()
          .Reply("HTTP/1.1 302 Found\r\nLocation: " + elsewhere + "\r\nContent-Length: 0\r\n\r\n")
          .Reply("HTTP/1.1 200 OK\r\nLocation: " + elsewhere + "\r\nContent-Length: 2\r\n\r\nok")
          .Reply("HTTP/1.1 302\r\nContent-Length: 0\r\n\r\n")
          .Reply("HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!")
          .Reply(Hello)
          .Reply("HTTP/1.1 403 Forbidden\r\n\r\nbanned"));
  EXPECT_EQ(Outcome(client, server.Url("/a")), "reply: 302 Found");
  EXPECT_EQ(client.ResponseCode(), 302);
  EXPECT_EQ(Outcome(client, server.Url("/b")), "reply: 200 OK");
  EXPECT_EQ(Outcome(client, server.Url("/c")), "reply: 302");
  EXPECT_EQ(Outcome(client, server.Url("/d")), "reply: 404 Not Found");
  EXPECT_EQ(Outcome(client, server.Url("/e")), "ok: hello");

  try {
    std::string body;
    client.Get(server.Url("/f"), body);
    FAIL() << "no error";
  } catch (const HttpStatusError& error) {
    EXPECT_EQ(error.ReplyErrorCode(), 403);
    EXPECT_EQ(error.Message(), "403 Forbidden");
  }
  EXPECT_EQ(server.AcceptedCount(), 1);
  EXPECT_EQ(server.Received(0).find("elsewhere"), std::string::npos);
}

TEST(HttpClient, PostSendsItsBodyAndAnErrorAnswerLeavesItsBodyToRead) {
  ScriptedServer server;
  const std::string refusal = R"({"error":{"code":400}})";
  server.AddConnection(ConnectionScript().Reply(Hello).Reply(
      "HTTP/1.1 400 Bad Request\r\nContent-Length: " + std::to_string(refusal.size()) + "\r\n\r\n" +
      refusal));
  HttpClient client;
  std::string body;
  client.Post(server.Url("/v1/createSession?key=K"), "application/json", "{}", body);
  EXPECT_EQ(body, "hello");
  body.clear();
  EXPECT_THROW(client.Post(server.Url("/v1/x"), "application/json", "[1]", body), HttpStatusError);
  // The caller that knows the service reads its error from the body.
  EXPECT_EQ(body, refusal);
  EXPECT_EQ(server.AcceptedCount(), 1);
  EXPECT_EQ(server.Received(0).rfind("POST /v1/createSession?key=K HTTP/1.1\r\n", 0), 0u);
  EXPECT_NE(server.Received(0).find("Content-Length: 2\r\n\r\n{}POST /v1/x"), std::string::npos)
      << server.Received(0);
}

TEST(HttpClient, BodiesOfEveryFramingOverTheWire) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Reply("HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n"));
  server.AddConnection(ConnectionScript().AwaitRequest().SendByteByByte(
      "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n"
      "4 ext=1\r\nwiki\r\n5\r\npedia\r\n0\r\n\r\n"));
  server.AddConnection(
      ConnectionScript().AwaitRequest().SendByteByByte("HTTP/1.0 200 OK\r\n\r\nto the end"));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()), "ok: ");
  ASSERT_TRUE(server.WaitForServerClose(0));
  EXPECT_EQ(Outcome(client, server.Url()), "ok: wikipedia");
  ASSERT_TRUE(server.WaitForServerClose(1));
  EXPECT_EQ(Outcome(client, server.Url()), "ok: to the end");
}

TEST(HttpClient, ServerClosingOrResetting) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Close());
  server.AddConnection(
      ConnectionScript().Reply("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhello").Close());
  server.AddConnection(ConnectionScript().AwaitRequest().Reset());
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()), "closed: Connection Closed Gracefully.");
  EXPECT_EQ(Outcome(client, server.Url()), "closed: Connection Closed Gracefully.");
  EXPECT_EQ(Outcome(client, server.Url()),
            "socket: Socket Error # 10054\r\nConnection reset by peer.");
}

TEST(HttpClient, MalformedStatusLine) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript().Reply("HTTP/1.1 OK 200\r\n\r\n").KeepOpen());
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()), "other: 'OK' is not a valid integer value");
  // Whatever followed the bad line is not taken for the next reply.
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
}

TEST(HttpClient, OwnRefusalsCloseTheConnection) {
  ScriptedServer server;
  server.AddConnection(
      ConnectionScript()
          .Reply("HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\nab")
          .KeepOpen());
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url()).rfind("own: ", 0), 0u);
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
}

TEST(HttpClient, NothingIsSentForAnUnsafeRequest) {
  ScriptedServer server;
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url("/a\r\nX-Injected: 1")).rfind("own: ", 0), 0u);
  client.Request.ExtraHeaders = {"Cookie: a\r\nX-Injected: 1"};
  EXPECT_EQ(Outcome(client, server.Url("/a")).rfind("own: ", 0), 0u);
  server.Stop();
  EXPECT_EQ(server.AcceptedCount(), 0);
}

TEST(HttpClient, ConnectFailures) {
  HttpClient client;
  // A label longer than 63 characters fails inside the resolver; no query leaves the machine.
  EXPECT_EQ(Outcome(client, "http://" + std::string(70, 'a') + ".invalid/"),
            "socket: Socket Error # 11001\r\n");

  // A port that is bound but not listening refuses connections.
  int bound = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(bound, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::getsockname(bound, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const int port = ntohs(address.sin_port);
  EXPECT_EQ(Outcome(client, "http://127.0.0.1:" + std::to_string(port) + "/"),
            "socket: Socket Error # 10061\r\nConnection refused.");
  ::close(bound);

  client.Request.ProxyServer = "127.0.0.1";
  client.Request.ProxyPort = 0;
  EXPECT_EQ(Outcome(client, "http://h/"),
            "socket: Socket Error # 10049\r\nCannot assign requested address.");
}

TEST(HttpClient, StalledServerTimesOutThroughTheClock) {
  test::RecordingClock clock;
  clock.ShortenTimeouts(1000);  // the 60 s receive time-out lasts 60 ms
  ScriptedServer server;
  server.AddConnection(ConnectionScript().AwaitRequest().Stall());
  server.AddConnection(ConnectionScript()
                           .AwaitRequest()
                           .Send("HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\npart")
                           .Stall());
  HttpClient client;
  for (int connection = 0; connection < 2; ++connection) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Outcome(client, server.Url()),
              "socket: Socket Error # 10060\r\nConnection timed out.");
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(60));
    EXPECT_LT(waited, std::chrono::seconds(30));
  }
  // The client itself never sleeps; only its socket waits are bounded.
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST(HttpClient, ConnectTimesOutThroughTheClock) {
  // A listener that never accepts, with its queue filled: further connection attempts are
  // left unanswered, as by a silent host.
  int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(listener, 0), 0);
  ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length), 0);
  std::vector<int> fillers;
  for (int i = 0; i < 2; ++i) {
    fillers.push_back(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0));
    ::connect(fillers.back(), reinterpret_cast<sockaddr*>(&address), sizeof address);
  }

  HttpClient client;
  client.ConnectTimeout = std::chrono::milliseconds(200);
  EXPECT_EQ(Outcome(client, "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/"),
            "socket: Socket Error # 10060\r\nConnection timed out.");
  for (int fd : fillers)
    ::close(fd);
  ::close(listener);
}

TEST(HttpClient, ChunkedReplyWithALengthIsReadAsChunkedAndEndsTheConnection) {
  ScriptedServer server;
  server.AddConnection(ConnectionScript()
                           .Reply("HTTP/1.1 200 OK\r\nContent-Length: 3\r\n"
                                  "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n")
                           .KeepOpen());
  server.AddConnection(ConnectionScript().Reply(Hello));
  HttpClient client;
  EXPECT_EQ(Outcome(client, server.Url("/a")), "ok: hello");
  // Some party on the way may have read the reply by its length: the connection is not trusted
  // with another request.
  EXPECT_EQ(Outcome(client, server.Url("/b")), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
}

}  // namespace
}  // namespace korvane
