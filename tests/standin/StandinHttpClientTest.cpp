// Each fault of the stand-in, seen through the program's own HTTP client: the failure texts
// here are the ones the lookup and the download workers classify.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "JpegDecode.h"
#include "PanoramaId.h"
#include "TileCache.h"
#include "net/BrowserHeaders.h"
#include "net/HttpClient.h"
#include "net/ServiceAddresses.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

const std::string PanoId = PanoIdOf(*CellOf(48.8584, 2.2945));

std::string TileUrl(const StandinFixture& service, int x, int y = 0, int zoom = 3) {
  return "http://" + service.Host() + "/cbk?output=tile&panoid=" + PanoId +
         "&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&zoom=" + std::to_string(zoom);
}

// The message of the failure a GET raises; "" when it succeeds.
std::string FailureOf(const std::string& url, std::string* body = nullptr) {
  HttpClient client;
  SetBrowserHeaders(client);
  std::string received;
  try {
    client.Get(url, received);
  } catch (const Exception& error) {
    return error.Message();
  }
  if (body != nullptr) *body = received;
  return "";
}

TEST(StandinThroughHttpClient, ConnectionFaultsAreResetsAndGracefulCloses) {
  StandinFixture service(
      "tile x=0 every reset\n"
      "tile x=1 every close\n"
      "tile x=2 every cut\n"
      "tile x=3 every cut 0\n");
  EXPECT_EQ(FailureOf(TileUrl(service, 0)), "Socket Error # 10054\r\nConnection reset by peer.");
  EXPECT_EQ(FailureOf(TileUrl(service, 1)), "Connection Closed Gracefully.");
  EXPECT_EQ(FailureOf(TileUrl(service, 2)), "Connection Closed Gracefully.");
  EXPECT_EQ(FailureOf(TileUrl(service, 3)), "Connection Closed Gracefully.");
}

TEST(StandinThroughHttpClient, StatusFaultsAreHttpStatusErrors) {
  StandinFixture service(
      "tile x=0 every status 302\n"
      "tile x=1 every status 403\n"
      "tile x=2 every status 404\n"
      "tile x=3 every status 400\n"
      "tile x=4 every status 500\n"
      "tile x=5 every status 302 -\n"
      "tile x=6 every status 200 location=http://127.0.0.1/sorry/\n"
      "metadata every status 403\n");
  EXPECT_EQ(FailureOf(TileUrl(service, 0)), "302 Found");
  EXPECT_EQ(FailureOf(TileUrl(service, 1)), "403 Forbidden");
  EXPECT_EQ(FailureOf(TileUrl(service, 2)), "404 Not Found");
  EXPECT_EQ(FailureOf(TileUrl(service, 3)), "400 Bad Request");
  EXPECT_EQ(FailureOf(TileUrl(service, 4)), "500 Internal Server Error");
  EXPECT_EQ(FailureOf(TileUrl(service, 5)), "302");
  EXPECT_EQ(FailureOf(TileUrl(service, 6)), "200 OK");
  EXPECT_EQ(FailureOf("http://" + service.Host() + "/cbk?output=xml&ll=1,2"), "403 Forbidden");
  // Requests the service cannot read are answered 400, as the client sees it.
  EXPECT_EQ(FailureOf("http://" + service.Host() + "/cbk?output=tile&panoid=P"), "400 Bad Request");
}

TEST(StandinThroughHttpClient, BodyFaultsArriveAsSuccessesWithBadImages) {
  StandinFixture service(
      "tile x=0 every html\n"
      "tile x=1 every empty\n"
      "tile x=2 every truncate\n"
      "tile x=3 every corrupt\n");
  std::string body;
  ASSERT_EQ(FailureOf(TileUrl(service, 0), &body), "");
  EXPECT_EQ(body.substr(0, 6), "<html>");  // no FF D8: an invalid image
  ASSERT_EQ(FailureOf(TileUrl(service, 1), &body), "");
  EXPECT_EQ(body, "");
  ASSERT_EQ(FailureOf(TileUrl(service, 2), &body), "");
  EXPECT_EQ(body.substr(0, 2), "\xFF\xD8");
  const DecodedJpeg truncated = DecodeJpeg(body);
  EXPECT_TRUE(!truncated.Ok || truncated.Warnings > 0);
  ASSERT_EQ(FailureOf(TileUrl(service, 3), &body), "");
  EXPECT_EQ(body.substr(0, 2), "\xFF\xD8");
  EXPECT_FALSE(DecodeJpeg(body).Ok);
}

TEST(StandinThroughHttpClient, FramingFaultsStillDeliverTheTile) {
  StandinFixture service(
      "tile x=0 every chunked\n"
      "tile x=1 every http10\n"
      "tile x=2 every delay 50\n");
  TileCache tiles;
  for (int x = 0; x < 3; ++x) {
    std::string body;
    EXPECT_EQ(FailureOf(TileUrl(service, x), &body), "") << x;
    EXPECT_EQ(body, *tiles.Tile(PanoId, x, 0, 3)) << x;
  }
}

TEST(StandinThroughHttpClient, AStallRunsIntoTheClientsReadTimeOut) {
  StandinFixture service("tile every stall\n");
  RecordingClock clock;
  clock.ShortenTimeouts(600);  // the client's 60 s nominal wait lasts 100 ms
  const std::string failure = FailureOf(TileUrl(service, 0));
  EXPECT_EQ(failure.rfind("Socket Error # 10060", 0), 0u) << failure;
}

// Replies that never end on their own end at the client's limits: the read time-out after a
// head without its body, the whole reply's time-out for a drip, the body limit for a body too
// large, announced or endless.
TEST(StandinThroughHttpClient, RepliesThatNeverEndRunIntoTheClientsLimits) {
  StandinFixture service(
      "tile x=0 every headonly\n"
      "tile x=1 every drip 20\n"
      "tile x=2 every oversize\n"
      "tile x=3 every endless\n"
      "tile x=4 every oversize 100\n");
  RecordingClock clock;
  clock.ShortenTimeouts(300);  // read 200 ms, whole reply 600 ms: a 20 ms drip needs minutes
  for (int x : {0, 1}) {
    const std::string failure = FailureOf(TileUrl(service, x));
    EXPECT_EQ(failure.rfind("Socket Error # 10060", 0), 0u) << x << ": " << failure;
  }
  const std::string tooLarge = "The server's reply body is larger than 64 MiB.";
  EXPECT_EQ(FailureOf(TileUrl(service, 2)), tooLarge);
  clock.ShortenTimeouts(6);  // time enough to take in the 64 MiB allowed
  EXPECT_EQ(FailureOf(TileUrl(service, 3)), tooLarge);
  std::string filler;
  EXPECT_EQ(FailureOf(TileUrl(service, 4), &filler), "");
  EXPECT_EQ(filler, std::string(100, 'x'));
  std::vector<std::string> actions;
  for (const StandinRequest& request : service.Requests())
    actions.push_back(request.Action);
  EXPECT_EQ(actions, (std::vector<std::string>{"headonly", "drip 20", "oversize", "endless",
                                               "oversize 100"}));
}

TEST(StandinThroughHttpClient, MetadataThroughTheServiceSection) {
  StandinFixture service("metadata ll=-33.8568,151.2153 every nocoverage\n", 4);
  TempProgramFolder folder;
  folder.WriteConfig(service.ServiceConfig());
  std::string body;
  ASSERT_EQ(FailureOf(MetadataUrl(48.8584, 2.2945), &body), "");
  EXPECT_NE(body.substr(0, body.find('\n')).find("pano_id=\"" + PanoId + "\""), std::string::npos)
      << body;
  ASSERT_EQ(FailureOf(MetadataUrl(-33.8568, 151.2153), &body), "");
  EXPECT_EQ(body.find("pano_id="), std::string::npos);
  const auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].Listener, 0);  // Server0 answers the metadata
  EXPECT_EQ(requests[0].Target, "/cbk?output=xml&ll=48.8584,2.2945");
  EXPECT_EQ(requests[0].Bytes.rfind("GET /cbk?output=xml&ll=48.8584,2.2945 HTTP/1.1\r\n", 0), 0u);
}

TEST(StandinThroughHttpClient, ResetsThenSuccessCountAttemptsOfOneTile) {
  StandinFixture service("tile first 2 reset\n");
  const std::string url = TileUrl(service, 4, 2);
  EXPECT_NE(FailureOf(url).find("10054"), std::string::npos);
  EXPECT_NE(FailureOf(url).find("10054"), std::string::npos);
  EXPECT_EQ(FailureOf(url), "");
  EXPECT_EQ(service.CountRequests(url), 3);
}

}  // namespace
}  // namespace korvane::test
