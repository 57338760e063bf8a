// The client against the real parts: the stand-in service over TLS and tinyproxy as the proxy.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "net/HttpClient.h"
#include "net/TlsChannel.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "support/TestCertificates.h"
#include "support/TinyproxyFixture.h"

namespace korvane {
namespace {

using test::StandinFixture;
using test::TinyproxyFixture;

const std::string Metadata = "/cbk?output=xml&ll=48.8566,2.3522";

// The stand-in over TLS with a certificate of a throwaway authority, and that authority's file.
class TlsStandin {
 public:
  explicit TlsStandin(const std::string& plan = "", const std::vector<std::string>& more = {})
      : certificate_(WriteFiles()), standin_(plan, 1, Arguments(more)) {}

  StandinFixture& Service() { return standin_; }
  const std::string& CaFile() const { return caFile_; }
  std::string Url(const std::string& target) const {
    return "https://127.0.0.1:" + std::to_string(standin_.Port()) + target;
  }

 private:
  std::vector<std::string> Arguments(const std::vector<std::string>& more) const {
    std::vector<std::string> arguments = {"--tls", certificateFile_, keyFile_};
    arguments.insert(arguments.end(), more.begin(), more.end());
    return arguments;
  }
  int WriteFiles() {
    const test::TestCertificate server = authority_.Issue();
    test::WriteTextFile(caFile_, authority_.CertificatePem());
    test::WriteTextFile(certificateFile_, server.CertificatePem);
    test::WriteTextFile(keyFile_, server.KeyPem);
    return 0;
  }

  test::TempFolder folder_;
  test::TestCertificateAuthority authority_;
  std::string caFile_ = folder_.Path() + "ca.pem";
  std::string certificateFile_ = folder_.Path() + "server.pem";
  std::string keyFile_ = folder_.Path() + "server.key";
  int certificate_;
  StandinFixture standin_;
};

// The tile URLs of the panorama the metadata answer names.
std::string PanoramaId(const std::string& metadata) {
  const std::string key = "pano_id=\"";
  const std::size_t start = metadata.find(key);
  if (start == std::string::npos) return "";
  return metadata.substr(start + key.size(),
                         metadata.find('"', start + key.size()) - start - key.size());
}

std::string TileTarget(const std::string& panorama, int x, int y, int zoom) {
  return "/cbk?output=tile&panoid=" + panorama + "&x=" + std::to_string(x) +
         "&y=" + std::to_string(y) + "&zoom=" + std::to_string(zoom);
}

bool IsJpeg(const std::string& body) {
  return body.size() > 2 && static_cast<unsigned char>(body[0]) == 0xFF &&
         static_cast<unsigned char>(body[1]) == 0xD8;
}

void UseProxy(HttpClient& client, const TinyproxyFixture& proxy, const std::string& password) {
  client.Request.ProxyServer = "127.0.0.1";
  client.Request.ProxyPort = proxy.Port();
  client.Request.ProxyUsername = proxy.User();
  client.Request.ProxyPassword = password;
}

std::string ErrorOf(HttpClient& client, const std::string& url) {
  std::string body;
  try {
    client.Get(url, body);
    return "ok";
  } catch (const Exception& error) {
    return error.Message();
  }
}

TEST(StandinOverTls, ServesTilesAndFaultsInsideTlsOnOneSession) {
  TlsStandin standin("tile x=1 y=0 zoom=1 first 1 reset\ntile x=0 y=0 zoom=1 every chunked\n");
  HttpClient client;
  client.Request.CAFile = standin.CaFile();
  const long handshakes = TlsHandshakeCount();
  std::string metadata;
  client.Get(standin.Url(Metadata), metadata);
  const std::string panorama = PanoramaId(metadata);
  ASSERT_FALSE(panorama.empty()) << metadata;
  std::string tile;
  client.Get(standin.Url(TileTarget(panorama, 0, 0, 1)), tile);  // chunked
  EXPECT_TRUE(IsJpeg(tile));
  EXPECT_EQ(TlsHandshakeCount() - handshakes, 1);
  EXPECT_EQ(ErrorOf(client, standin.Url(TileTarget(panorama, 1, 0, 1))),
            "Socket Error # 10054\r\nConnection reset by peer.");
  tile.clear();
  client.Get(standin.Url(TileTarget(panorama, 1, 0, 1)), tile);
  EXPECT_TRUE(IsJpeg(tile));
  EXPECT_EQ(TlsHandshakeCount() - handshakes, 2);
}

TEST(Tinyproxy, PlainRequestsGoWithAbsoluteTargetsAndCredentials) {
  StandinFixture standin;
  TinyproxyFixture proxy({standin.Port()});
  HttpClient client;
  UseProxy(client, proxy, proxy.Password());
  const std::string url = "http://" + standin.Host() + Metadata;
  std::string metadata;
  client.Get(url, metadata);
  EXPECT_FALSE(PanoramaId(metadata).empty());
  EXPECT_NE(proxy.Log().find("GET " + url + " HTTP/1.1"), std::string::npos) << proxy.Log();

  // tinyproxy asks for credentials with 407 and refuses wrong ones with 401.
  UseProxy(client, proxy, "wrong");
  EXPECT_EQ(ErrorOf(client, url), "401 Unauthorized");
  EXPECT_EQ(client.ResponseCode(), 401);
  client.Request.ProxyUsername.clear();
  EXPECT_EQ(ErrorOf(client, url), "407 Proxy Authentication Required");
}

TEST(Tinyproxy, HttpsGoesThroughTheTunnelWithOneHandshake) {
  TlsStandin standin;
  TinyproxyFixture proxy({standin.Service().Port()});
  HttpClient client;
  client.Request.CAFile = standin.CaFile();
  UseProxy(client, proxy, proxy.Password());
  const long handshakes = TlsHandshakeCount();
  std::string metadata;
  client.Get(standin.Url(Metadata), metadata);
  const std::string panorama = PanoramaId(metadata);
  ASSERT_FALSE(panorama.empty());
  for (int x = 0; x < 2; ++x) {
    std::string tile;
    client.Get(standin.Url(TileTarget(panorama, x, 0, 1)), tile);
    EXPECT_TRUE(IsJpeg(tile));
  }
  EXPECT_EQ(TlsHandshakeCount() - handshakes, 1);
  EXPECT_NE(proxy.Log().find("CONNECT 127.0.0.1:" + std::to_string(standin.Service().Port())),
            std::string::npos);
  // The server saw origin-form requests without the proxy's credentials.
  for (const test::StandinRequest& request : standin.Service().Requests()) {
    EXPECT_EQ(request.Bytes.find("Proxy-Authorization"), std::string::npos);
    EXPECT_EQ(request.Target.rfind("/cbk?", 0), 0u);
  }

  HttpClient refused;
  refused.Request.CAFile = standin.CaFile();
  UseProxy(refused, proxy, "wrong");
  EXPECT_EQ(ErrorOf(refused, standin.Url(Metadata)), "401 Unauthorized");
  refused.Request.ProxyUsername.clear();
  EXPECT_EQ(ErrorOf(refused, standin.Url(Metadata)), "407 Proxy Authentication Required");
  EXPECT_EQ(refused.ResponseCode(), 407);
}

TEST(Tinyproxy, APostGoesThroughTheTunnelWithItsBody) {
  TlsStandin standin("", {"--api-key", "K1"});
  TinyproxyFixture proxy({standin.Service().Port()});
  HttpClient client;
  client.Request.CAFile = standin.CaFile();
  UseProxy(client, proxy, proxy.Password());
  std::string answer;
  client.Post(standin.Url("/v1/createSession?key=K1"), "application/json",
              R"({"mapType":"streetview","language":"en-US","region":"US"})", answer);
  EXPECT_NE(answer.find("\"session\":\"standin-session-1\""), std::string::npos) << answer;
  const std::vector<test::StandinRequest> requests = standin.Service().Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Bytes.rfind("POST /v1/createSession?key=K1 HTTP/1.1\r\n", 0), 0u);
  EXPECT_EQ(requests[0].Bytes.find("Proxy-Authorization"), std::string::npos);
}

TEST(Tinyproxy, ProxyStoppedBetweenRequestsFailsCleanly) {
  TlsStandin standin;
  TinyproxyFixture proxy({standin.Service().Port()});
  HttpClient client;
  client.Request.CAFile = standin.CaFile();
  UseProxy(client, proxy, proxy.Password());
  std::string metadata;
  client.Get(standin.Url(Metadata), metadata);
  proxy.Stop();
  const auto start = std::chrono::steady_clock::now();
  const std::string error = ErrorOf(client, standin.Url(Metadata));
  EXPECT_EQ(error, "Socket Error # 10061\r\nConnection refused.");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
}  // namespace korvane
