#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/HttpClient.h"
#include "net/TlsChannel.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"
#include "support/TestCertificates.h"
#include "support/TlsTestServer.h"

namespace korvane {
namespace {

using test::CertificateRequest;
using test::ConnectionScript;
using test::ScriptedServer;
using test::TestCertificateAuthority;
using test::TlsTestServer;
using test::TlsTestSession;

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
  } catch (const TlsError& error) {
    return "tls: " + error.Message();
  } catch (const Exception& error) {
    return "other: " + error.Message();
  }
}

// A throwaway authority, its CA file, and a client that trusts it.
struct Pki {
  test::TempFolder folder;
  TestCertificateAuthority authority;
  std::string caFile = folder.Path() + "ca.pem";
  Pki() { test::WriteTextFile(caFile, authority.CertificatePem()); }
};

std::string LocalhostUrl(int port, const std::string& path = "/") {
  return "https://localhost:" + std::to_string(port) + path;
}

TEST(HttpsClient, OneHandshakeServesEveryRequestToTheSameServer) {
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  HttpClient client;
  client.Request.CAFile = pki.caFile;
  const long handshakes = TlsHandshakeCount();
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(Outcome(client, server.Url("/tile" + std::to_string(i))), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 1);
  EXPECT_EQ(TlsHandshakeCount() - handshakes, 1);
  // Another name for the same server is another server, checked by name.
  EXPECT_EQ(Outcome(client, LocalhostUrl(server.Port())), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 2);
}

TEST(HttpsClient, RefusedCertificatesNameTheCause) {
  Pki pki;
  CertificateRequest expired;
  expired.ValidFromDays = -3;
  expired.ValidUntilDays = -1;
  CertificateRequest otherHost;
  otherHost.Names = {"tiles.example.test"};
  struct Case {
    test::TestCertificate certificate;
    bool trusted;
    std::string url;  // empty: the server's 127.0.0.1 address
    std::string cause;
  };
  const Case cases[] = {
      {TestCertificateAuthority::SelfSigned(), true, "", "self-signed certificate"},
      {pki.authority.Issue(), false, "", "unable to get local issuer certificate"},
      {pki.authority.Issue(expired), true, "", "certificate has expired"},
      {pki.authority.Issue(otherHost), true, "localhost", "hostname mismatch"},
      {pki.authority.Issue(otherHost), true, "", "IP address mismatch"},
  };
  for (const Case& c : cases) {
    TlsTestServer server(c.certificate);
    HttpClient client;
    if (c.trusted) client.Request.CAFile = pki.caFile;
    const std::string url = c.url.empty() ? server.Url() : LocalhostUrl(server.Port());
    const std::string outcome = Outcome(client, url);
    EXPECT_EQ(outcome, "tls: SSL negotiation failed: certificate verify failed (" + c.cause + ")");
  }
}

TEST(HttpsClient, UnusableCaFileFailsBeforeConnecting) {
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  const std::string empty = pki.folder.Path() + "empty.pem";
  test::WriteTextFile(empty, "no certificate here\n");
  HttpClient client;
  client.Request.CAFile = pki.folder.Path() + "missing.pem";
  EXPECT_EQ(Outcome(client, server.Url()), "tls: The CA file named by [Service] CAFile (" +
                                               client.Request.CAFile +
                                               ") cannot be read: No such file or directory.");
  client.Request.CAFile = empty;
  EXPECT_EQ(Outcome(client, server.Url()),
            "tls: The CA file named by [Service] CAFile holds no PEM certificate.");
  client.Request.CAFile = pki.caFile;
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
  EXPECT_EQ(server.AcceptedCount(), 1);
}

TEST(HttpsClient, ServersThatBreakTheHandshake) {
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  server.AddConnection([](TlsTestSession& session) { session.ReceiveRaw(); });
  HttpClient client;
  client.Request.CAFile = pki.caFile;
  EXPECT_EQ(Outcome(client, server.Url()),
            "tls: SSL negotiation failed: the server closed the connection during the "
            "handshake.");

  // A plain HTTP server answers the client's first TLS message with a 400 page.
  ScriptedServer plain;
  plain.AddConnection(
      ConnectionScript().Send("HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n").Close());
  const std::string outcome =
      Outcome(client, "https://127.0.0.1:" + std::to_string(plain.Port()) + "/");
  EXPECT_EQ(outcome.rfind("tls: SSL negotiation failed: ", 0), 0u) << outcome;
  EXPECT_EQ(outcome.find("400"), std::string::npos) << outcome;
}

TEST(HttpsClient, RecordCutInTheMiddleOfAChunkedBody) {
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  server.AddConnection([](TlsTestSession& session) {
    if (!session.Handshake() || session.ReadRequest().empty()) return;
    session.Send("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n");
    const std::string sealed = session.Seal("6\r\n world\r\n0\r\n\r\n");
    session.SendRaw(sealed.substr(0, sealed.size() / 2));
  });
  HttpClient client;
  client.Request.CAFile = pki.caFile;
  EXPECT_EQ(Outcome(client, server.Url()), "closed: Connection Closed Gracefully.");
  // The next request gets a fresh connection and a whole reply.
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
}

TEST(HttpsClient, BodyEndingWithTheCloseNeedsCloseNotify) {
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  const std::string reply = "HTTP/1.1 200 OK\r\n\r\nhello";
  // Cut on the way: the body may have been longer.
  server.AddConnection([&reply](TlsTestSession& session) {
    if (session.Handshake() && !session.ReadRequest().empty()) session.Send(reply);
  });
  // Ended by the server itself.
  server.AddConnection([&reply](TlsTestSession& session) {
    if (!session.Handshake() || session.ReadRequest().empty()) return;
    session.Send(reply);
    session.SendCloseNotify();
  });
  HttpClient client;
  client.Request.CAFile = pki.caFile;
  EXPECT_EQ(Outcome(client, server.Url()), "closed: Connection Closed Gracefully.");
  EXPECT_EQ(Outcome(client, server.Url()), "ok: hello");
}

TEST(HttpsClient, HostNameTheCheckCannotBeSetUpForFailsBeforeTheHandshake) {
  // Longer than any name a certificate or SNI can carry; only a proxy would take it.
  const std::string host = std::string(300, 'a') + ".example.invalid";
  ScriptedServer proxy;
  proxy.AddConnection(ConnectionScript().Reply("HTTP/1.1 200 Connection established\r\n\r\n"));
  HttpClient client;
  client.Request.ProxyServer = "127.0.0.1";
  client.Request.ProxyPort = proxy.Port();
  EXPECT_EQ(Outcome(client, "https://" + host + "/"),
            "tls: SSL negotiation failed: the host name cannot be checked.");
  proxy.Stop();
  // The tunnel was asked for, but no TLS message went out.
  EXPECT_EQ(proxy.Received(0),
            "CONNECT " + host + ":443 HTTP/1.1\r\nHost: " + host + ":443\r\n\r\n");
}

TEST(HttpsClient, SilentHandshakeTimesOutThroughTheClock) {
  test::RecordingClock clock;
  clock.ShortenTimeouts(1000);  // the 60 s read time-out lasts 60 ms
  Pki pki;
  TlsTestServer server(pki.authority.Issue());
  server.AddConnection([](TlsTestSession& session) { session.AwaitClose(); });
  HttpClient client;
  client.Request.CAFile = pki.caFile;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Outcome(client, server.Url()), "socket: Socket Error # 10060\r\nConnection timed out.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(HttpsClient, TricklingHandshakeOrTunnelReplyEndsAtTheReplyDeadline) {
  using namespace std::chrono_literals;
  // A byte every 50 ms keeps every single wait far below the read time-out; the whole would
  // take 20 s.
  const std::string padding(400, 'a');
  struct Case {
    const char* name;
    bool viaProxy;
    std::string trickled;
  };
  const Case cases[] = {
      // A handshake record that promises 16 KiB.
      {"handshake", false, std::string("\x16\x03\x03\x40\x00", 5) + padding},
      {"tunnel reply", true, "HTTP/1.1 200 Connection established\r\nX-Pad: " + padding},
  };
  for (const Case& c : cases) {
    ScriptedServer server;
    ConnectionScript script;
    if (c.viaProxy) script.AwaitRequest();
    server.AddConnection(script.Trickle(c.trickled, 50ms));
    HttpClient client;
    client.ReadTimeout = Milliseconds(5'000);
    client.ReplyTimeout = Milliseconds(1'000);
    std::string url = "https://127.0.0.1:" + std::to_string(server.Port()) + "/";
    if (c.viaProxy) {
      client.Request.ProxyServer = "127.0.0.1";
      client.Request.ProxyPort = server.Port();
      url = "https://tiles.example.invalid/";
    }
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Outcome(client, url), "socket: Socket Error # 10060\r\nConnection timed out.")
        << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s) << c.name;
  }
}

TEST(HttpsClient, ProxyRefusingTheTunnelGivesItsStatusLine) {
  ScriptedServer proxy;
  proxy.AddConnection(ConnectionScript().Reply(
      "HTTP/1.1 407 Proxy Authentication Required\r\nContent-Length: 6\r\n\r\nsorry!"));
  HttpClient client;
  client.Request.ProxyServer = "127.0.0.1";
  client.Request.ProxyPort = proxy.Port();
  client.Request.ProxyUsername = "user";
  client.Request.ProxyPassword = "secret";
  client.Request.UserAgent = "agent";
  EXPECT_EQ(Outcome(client, "https://tiles.example.invalid/cbk?x=1"),
            "reply: 407 Proxy Authentication Required");
  EXPECT_EQ(client.ResponseCode(), 407);
  proxy.Stop();
  // The host is the proxy's to resolve; only the tunnel request goes out.
  EXPECT_EQ(proxy.Received(0),
            "CONNECT tiles.example.invalid:443 HTTP/1.1\r\n"
            "Host: tiles.example.invalid:443\r\n"
            "Proxy-Authorization: Basic dXNlcjpzZWNyZXQ=\r\n"
            "\r\n");
}

TEST(HttpsClient, ProxyDroppingTheTunnel) {
  ScriptedServer proxy;
  proxy.AddConnection(
      ConnectionScript().Reply("HTTP/1.1 200 Connection established\r\n\r\n").Close());
  proxy.AddConnection(
      ConnectionScript().Reply("HTTP/1.1 200 Connection established\r\n\r\n"
                               "HTTP/1.1 200 OK\r\n"));
  HttpClient client;
  client.Request.ProxyServer = "127.0.0.1";
  client.Request.ProxyPort = proxy.Port();
  EXPECT_EQ(Outcome(client, "https://127.0.0.1:8443/"),
            "tls: SSL negotiation failed: the server closed the connection during the "
            "handshake.");
  EXPECT_EQ(Outcome(client, "https://127.0.0.1:8443/"),
            "other: The proxy sent bytes after accepting the tunnel; nothing was sent.");
  proxy.Stop();
  // No credentials configured: none sent; then the client's first TLS message.
  const std::string connect = "CONNECT 127.0.0.1:8443 HTTP/1.1\r\nHost: 127.0.0.1:8443\r\n\r\n";
  EXPECT_EQ(proxy.Received(0).substr(0, connect.size() + 1), connect + '\x16');
}

}  // namespace
}  // namespace korvane
