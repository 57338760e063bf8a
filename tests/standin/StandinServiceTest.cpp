#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "JpegDecode.h"
#include "PanoramaId.h"
#include "RawHttpClient.h"
#include "TileCache.h"
#include "support/StandinFixture.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

const std::string PanoId = PanoIdOf(*CellOf(48.8584, 2.2945));

std::string TileTarget(int x, int y, int zoom, const std::string& id = PanoId) {
  return "/cbk?output=tile&panoid=" + id + "&x=" + std::to_string(x) + "&y=" + std::to_string(y) +
         "&zoom=" + std::to_string(zoom);
}

std::string MetadataTarget(const std::string& ll) {
  return "/cbk?output=xml&ll=" + ll;
}

// One request on a new connection.
RawReply Fetch(const StandinFixture& service, const std::string& target, int listener = 0) {
  RawConnection connection(service.Port(listener));
  EXPECT_TRUE(connection.Send(GetRequest(target)));
  return connection.ReadReply();
}

std::string FirstLine(const std::string& text) {
  return text.substr(0, text.find('\n'));
}

TEST(StandinService, MetadataNamesTheNearestPanoramaOnItsFirstLine) {
  StandinFixture service;
  const RawReply reply = Fetch(service, MetadataTarget("48.8584,2.2945"));
  ASSERT_EQ(reply.End, ReplyEnd::Complete);
  EXPECT_EQ(reply.StatusLine, "HTTP/1.1 200 OK");
  EXPECT_EQ(reply.Header("Content-Type"), "text/xml; charset=UTF-8");
  const std::string first = FirstLine(reply.Body);
  const std::size_t at = first.find("pano_id=\"");
  ASSERT_NE(at, std::string::npos) << first;
  EXPECT_EQ(first.substr(at + 9, 23), PanoId + "\"");
  EXPECT_NE(first.find("image_width=\"13312\" image_height=\"6656\""), std::string::npos);
  EXPECT_NE(first.find("tile_width=\"512\""), std::string::npos);

  // A point about 10 m from the panorama has the same one.
  const auto cell = CellOf(48.8584, 2.2945);
  const std::string nearPoint = std::to_string(CellCentreLatitude(*cell) + 0.00006) + "," +
                                std::to_string(CellCentreLongitude(*cell) - 0.00008);
  const std::string near = FirstLine(Fetch(service, MetadataTarget(nearPoint)).Body);
  EXPECT_NE(near.find("pano_id=\"" + PanoId + "\""), std::string::npos) << near;

  for (const char* nowhere : {"85,10", "-80.5,0"}) {
    const RawReply none = Fetch(service, MetadataTarget(nowhere));
    ASSERT_EQ(none.Status, 200) << nowhere;
    EXPECT_FALSE(none.Body.empty());
    EXPECT_EQ(FirstLine(none.Body).find("pano_id="), std::string::npos) << none.Body;
  }
}

TEST(StandinService, TilesAreTheJpegsOfThePanorama) {
  StandinFixture service;
  TileCache expected;
  const RawReply reply = Fetch(service, TileTarget(12, 6, 4));
  ASSERT_EQ(reply.End, ReplyEnd::Complete);
  EXPECT_EQ(reply.Status, 200);
  EXPECT_EQ(reply.Header("Content-Type"), "image/jpeg");
  EXPECT_EQ(reply.Body, *expected.Tile(PanoId, 12, 6, 4));

  const RawReply unknown = Fetch(service, TileTarget(0, 0, 1, "NoSuchPanoramaAnywhere"));
  EXPECT_EQ(unknown.Status, 200);
  EXPECT_EQ(unknown.Body, *expected.BlackTile());
  EXPECT_EQ(Fetch(service, TileTarget(13, 0, 4)).Body, *expected.BlackTile());
}

TEST(StandinService, TileLatencyDelaysEveryTileAndNoLookup) {
  using Clock = std::chrono::steady_clock;
  StandinFixture service("", 1, {"--tile-latency", "300"});
  const auto timed = [&service](const std::string& target) {
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(Fetch(service, target).Status, 200) << target;
    return Clock::now() - start;
  };
  EXPECT_GE(timed(TileTarget(1, 1, 2)), std::chrono::milliseconds(300));
  EXPECT_LT(timed(MetadataTarget("48.8584,2.2945")), std::chrono::milliseconds(300));
}

TEST(StandinService, KeepAliveServesRequestAfterRequestAndClosesWhenAsked) {
  StandinFixture service;
  RawConnection connection(service.Port());
  // Three requests in one go: the replies come in order on the same connection.
  ASSERT_TRUE(connection.Send(GetRequest(TileTarget(0, 0, 1)) + GetRequest(TileTarget(1, 0, 1)) +
                              GetRequest(MetadataTarget("1,2"))));
  EXPECT_EQ(connection.ReadReply().Status, 200);
  EXPECT_EQ(connection.ReadReply().Status, 200);
  const RawReply third = connection.ReadReply();
  EXPECT_EQ(third.End, ReplyEnd::Complete);
  EXPECT_NE(third.Body.find("pano_id="), std::string::npos);
  EXPECT_FALSE(third.Header("Connection"));

  ASSERT_TRUE(connection.Send(GetRequest(TileTarget(0, 0, 1), "Connection: close\r\n")));
  const RawReply last = connection.ReadReply();
  EXPECT_EQ(last.Status, 200);
  EXPECT_EQ(last.Header("Connection"), "close");
  EXPECT_TRUE(connection.ServerCloses());

  RawConnection old(service.Port());
  ASSERT_TRUE(old.Send("GET " + TileTarget(0, 0, 1) + " HTTP/1.0\r\n\r\n"));
  EXPECT_EQ(old.ReadReply().Status, 200);
  EXPECT_TRUE(old.ServerCloses());
}

TEST(StandinService, ServesFortyConnectionsAtOnce) {
  // Every request stalls, so all forty are logged only if all forty connections are served at
  // the same time.
  StandinFixture service("tile x=1 every stall\n");
  std::vector<std::unique_ptr<RawConnection>> connections;
  for (int i = 0; i < 40; ++i) {
    connections.push_back(std::make_unique<RawConnection>(service.Port()));
    ASSERT_TRUE(connections.back()->Send(GetRequest(TileTarget(1, i % 2, 2))));
  }
  ASSERT_TRUE(service.WaitForRequests(40, std::chrono::seconds(20)));
  EXPECT_EQ(Fetch(service, TileTarget(0, 0, 2)).Status, 200);
  EXPECT_EQ(service.CountRequests(TileTarget(1, 0, 2)), 20);
  EXPECT_EQ(service.Stop(), 0);
  for (auto& connection : connections)
    EXPECT_TRUE(connection->ServerCloses());
}

TEST(StandinService, BadRequestsGet400AndTheServiceGoesOn) {
  StandinFixture service;
  // Unknown path and malformed queries: 400 on a connection that stays usable.
  RawConnection connection(service.Port());
  for (const char* target :
       {"/", "/maps/api", "/cbk?output=xml&ll=north", "/cbk?output=tile&x=1"}) {
    ASSERT_TRUE(connection.Send(GetRequest(target)));
    const RawReply reply = connection.ReadReply();
    EXPECT_EQ(reply.StatusLine, "HTTP/1.1 400 Bad Request") << target;
  }
  // Requests that are not HTTP at all, or too big: 400, then the connection is closed.
  const std::string huge =
      GetRequest("/cbk?output=xml&ll=1,2", "X-Big: " + std::string(100'000, 'x') + "\r\n");
  for (const std::string& bytes :
       {std::string("\x16\x03\x01\x02\x00\x01\x00\r\n\r\n", 11), std::string("HELLO\r\n\r\n"),
        "GET /" + std::string(20'000, 'a') + " HTTP/1.1\r\n\r\n", huge}) {
    RawConnection bad(service.Port());
    bad.Send(bytes);
    const RawReply reply = bad.ReadReply();
    EXPECT_EQ(reply.Status, 400) << bytes.substr(0, 20);
    EXPECT_EQ(reply.Header("Connection"), "close");
    EXPECT_TRUE(bad.ServerCloses());
  }
  ASSERT_TRUE(connection.Send(GetRequest(TileTarget(0, 0, 1))));
  EXPECT_EQ(connection.ReadReply().Status, 200);
  int badRequests = 0;
  for (const StandinRequest& request : service.Requests()) {
    badRequests += request.Action == "bad-request" ? 1 : 0;
  }
  EXPECT_EQ(badRequests, 4);
  EXPECT_EQ(service.Stop(), 0);
}

TEST(StandinService, ConnectionFaults) {
  StandinFixture service(
      "tile x=0 every reset\n"
      "tile x=1 every close\n"
      "tile x=2 every cut 1000\n"
      "tile x=3 every cut\n");
  const std::string tile = *TileCache().Tile(PanoId, 2, 0, 3);
  EXPECT_EQ(Fetch(service, TileTarget(0, 0, 3)).End, ReplyEnd::Reset);
  EXPECT_EQ(Fetch(service, TileTarget(1, 0, 3)).End, ReplyEnd::ClosedBeforeStatus);
  const RawReply cut = Fetch(service, TileTarget(2, 0, 3));
  EXPECT_EQ(cut.End, ReplyEnd::ClosedInBody);
  EXPECT_EQ(cut.Header("Content-Length"), std::to_string(tile.size()));
  EXPECT_EQ(cut.Body, tile.substr(0, 1000));
  const RawReply half = Fetch(service, TileTarget(3, 0, 3));
  EXPECT_EQ(half.End, ReplyEnd::ClosedInBody);
  EXPECT_EQ(half.Body.size(), std::stoul(*half.Header("Content-Length")) / 2);
  const auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Action, "reset");
  EXPECT_EQ(requests[0].Status, 0);
  EXPECT_EQ(requests[1].Action, "close");
  EXPECT_EQ(requests[2].Action, "cut 1000");
  EXPECT_EQ(requests[2].Status, 200);
}

TEST(StandinService, StatusFaults) {
  StandinFixture service(
      "tile x=0 every status 302\n"
      "tile x=1 every status 403\n"
      "tile x=2 every status 404\n"
      "tile x=3 every status 400\n"
      "tile x=4 every status 500\n"
      "tile x=5 every status 302 -\n"
      "tile x=6 every status 200 location=http://127.0.0.1/elsewhere\n");
  const RawReply moved = Fetch(service, TileTarget(0, 0, 3));
  EXPECT_EQ(moved.StatusLine, "HTTP/1.1 302 Found");
  EXPECT_TRUE(moved.Header("Location"));
  EXPECT_EQ(Fetch(service, TileTarget(1, 0, 3)).StatusLine, "HTTP/1.1 403 Forbidden");
  const RawReply missing = Fetch(service, TileTarget(2, 0, 3));
  EXPECT_EQ(missing.StatusLine, "HTTP/1.1 404 Not Found");
  EXPECT_NE(missing.Body.find("404 Not Found"), std::string::npos);
  EXPECT_EQ(Fetch(service, TileTarget(3, 0, 3)).StatusLine, "HTTP/1.1 400 Bad Request");
  EXPECT_EQ(Fetch(service, TileTarget(4, 0, 3)).StatusLine, "HTTP/1.1 500 Internal Server Error");
  EXPECT_EQ(Fetch(service, TileTarget(5, 0, 3)).StatusLine, "HTTP/1.1 302");
  const RawReply located = Fetch(service, TileTarget(6, 0, 3));
  EXPECT_EQ(located.StatusLine, "HTTP/1.1 200 OK");
  EXPECT_EQ(located.Header("Location"), "http://127.0.0.1/elsewhere");
}

TEST(StandinService, BodyFaults) {
  StandinFixture service(
      "tile x=0 every html\n"
      "tile x=1 every empty\n"
      "tile x=2 every truncate\n"
      "tile x=3 every truncate 300\n"
      "tile x=4 every corrupt\n"
      "metadata every nocoverage\n");
  TileCache tiles;
  const RawReply html = Fetch(service, TileTarget(0, 0, 3));
  EXPECT_EQ(html.Status, 200);
  EXPECT_EQ(html.Header("Content-Type"), "text/html; charset=UTF-8");
  EXPECT_EQ(html.Body.substr(0, 6), "<html>");

  const RawReply empty = Fetch(service, TileTarget(1, 0, 3));
  EXPECT_EQ(empty.End, ReplyEnd::Complete);
  EXPECT_EQ(empty.Status, 200);
  EXPECT_EQ(empty.Header("Content-Length"), "0");

  // A JPEG cut in its scan data still starts like one; the decoder meets a premature end.
  const std::string whole = *tiles.Tile(PanoId, 2, 0, 3);
  const RawReply truncated = Fetch(service, TileTarget(2, 0, 3));
  EXPECT_EQ(truncated.End, ReplyEnd::Complete);
  EXPECT_EQ(truncated.Body, whole.substr(0, whole.size() / 2));
  const DecodedJpeg halfImage = DecodeJpeg(truncated.Body);
  EXPECT_TRUE(!halfImage.Ok || halfImage.Warnings > 0);
  // Cut within the headers: decoding fails outright.
  const RawReply headerOnly = Fetch(service, TileTarget(3, 0, 3));
  EXPECT_EQ(headerOnly.Body.size(), 300u);
  EXPECT_FALSE(DecodeJpeg(headerOnly.Body).Ok);

  const RawReply corrupt = Fetch(service, TileTarget(4, 0, 3));
  EXPECT_EQ(corrupt.Body.size(), tiles.Tile(PanoId, 4, 0, 3)->size());
  EXPECT_EQ(corrupt.Body.substr(0, 2), "\xFF\xD8");
  EXPECT_FALSE(DecodeJpeg(corrupt.Body).Ok);

  const RawReply none = Fetch(service, MetadataTarget("48.8584,2.2945"));
  EXPECT_EQ(none.Status, 200);
  EXPECT_EQ(none.Body.find("pano_id="), std::string::npos);
}

TEST(StandinService, FramingFaults) {
  StandinFixture service(
      "tile x=0 every chunked\n"
      "tile x=1 every http10\n"
      "tile x=2 every delay 200\n");
  TileCache tiles;
  RawConnection connection(service.Port());
  ASSERT_TRUE(connection.Send(GetRequest(TileTarget(0, 0, 3))));
  const RawReply chunked = connection.ReadReply();
  EXPECT_EQ(chunked.End, ReplyEnd::Complete);
  EXPECT_EQ(chunked.Header("Transfer-Encoding"), "chunked");
  EXPECT_FALSE(chunked.Header("Content-Length"));
  EXPECT_EQ(chunked.Body, *tiles.Tile(PanoId, 0, 0, 3));
  // The connection stays usable after a chunked reply.
  ASSERT_TRUE(connection.Send(GetRequest(TileTarget(1, 0, 3))));
  const RawReply old = connection.ReadReply();
  EXPECT_EQ(old.End, ReplyEnd::Complete);
  EXPECT_EQ(old.StatusLine, "HTTP/1.0 200 OK");
  EXPECT_FALSE(old.Header("Content-Length"));
  EXPECT_EQ(old.Body, *tiles.Tile(PanoId, 1, 0, 3));  // read up to the close

  const auto start = std::chrono::steady_clock::now();
  const RawReply late = Fetch(service, TileTarget(2, 0, 3));
  EXPECT_EQ(late.Body, *tiles.Tile(PanoId, 2, 0, 3));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
}

TEST(StandinService, StalledRequestsNeverAnswerAndEndWithTheService) {
  StandinFixture service("tile x=0 every stall\n");
  RawConnection stalled(service.Port());
  ASSERT_TRUE(stalled.Send(GetRequest(TileTarget(0, 0, 2))));
  ASSERT_TRUE(service.WaitForRequests(1, std::chrono::seconds(20)));
  // Others are served meanwhile.
  EXPECT_EQ(Fetch(service, TileTarget(1, 0, 2)).Status, 200);
  EXPECT_EQ(service.Requests()[0].Action, "stall");
  EXPECT_EQ(service.Stop(), 0);
  EXPECT_EQ(stalled.ReadReply().End, ReplyEnd::ClosedBeforeStatus);
}

TEST(StandinService, AttemptsCountPerTargetAcrossListenersAndConnections) {
  StandinFixture service("tile first 2 reset\ntile from 4 status 404\n", 4);
  ASSERT_EQ(service.ListenerCount(), 4);
  const std::string target = TileTarget(5, 5, 4);
  EXPECT_EQ(Fetch(service, target, 0).End, ReplyEnd::Reset);
  EXPECT_EQ(Fetch(service, target, 1).End, ReplyEnd::Reset);
  EXPECT_EQ(Fetch(service, target, 2).Status, 200);
  EXPECT_EQ(Fetch(service, target, 3).Status, 404);
  EXPECT_EQ(Fetch(service, TileTarget(5, 6, 4), 3).End, ReplyEnd::Reset);  // its own count
  // The same path and query through a proxy counts as the same target.
  EXPECT_EQ(Fetch(service, "http://cbk1.example" + target, 1).Status, 404);
  const auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 6u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(requests[static_cast<std::size_t>(i)].Listener, i);
    EXPECT_EQ(requests[static_cast<std::size_t>(i)].Attempt, i + 1);
  }
  EXPECT_EQ(requests[4].Attempt, 1);
  EXPECT_EQ(requests[5].Attempt, 5);
  EXPECT_EQ(requests[5].Target, "http://cbk1.example" + target);
  EXPECT_EQ(service.CountRequests(target), 4);
  EXPECT_EQ(service.CountRequests("http://" + service.Host(2) + target), 4);
}

TEST(StandinService, TheLogHoldsTheExactRequestBytes) {
  StandinFixture service;
  const std::string bytes =
      "GET " + TileTarget(0, 0, 1) +
      " HTTP/1.1\r\nHost: 127.0.0.1\r\nAccept: text/html, */*\r\nUser-Agent: \xC3\xA9t\xC3\xA9\r\n"
      "Cookie: \r\nContent-Length: 4\r\n\r\nbody";
  RawConnection connection(service.Port());
  ASSERT_TRUE(connection.Send(bytes));
  EXPECT_EQ(connection.ReadReply().Status, 200);
  const auto requests = service.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].Bytes, bytes);
  EXPECT_EQ(requests[0].Target, TileTarget(0, 0, 1));
  EXPECT_EQ(requests[0].Action, "ok");
  EXPECT_EQ(requests[0].Status, 200);
}

TEST(StandinService, ServiceConfigPointsTheServersAtTheListeners) {
  StandinFixture one;
  const std::string host = one.Host();
  EXPECT_EQ(one.ServiceConfig(), "[Service]\r\nServer0=" + host + "\r\nServer1=" + host +
                                     "\r\nServer2=" + host + "\r\nServer3=" + host +
                                     "\r\nHomePage=http://" + host + "/\r\nProtocol=classic\r\n");
  StandinFixture four("", 4);
  const std::string config = four.ServiceConfig();
  for (int i = 0; i < 4; ++i) {
    EXPECT_NE(config.find("Server" + std::to_string(i) + "=" + four.Host(i) + "\r\n"),
              std::string::npos);
  }
}

TEST(StandinService, StopsCleanlyWithOpenConnectionsAndRefusesBadPlans) {
  auto service = std::make_unique<StandinFixture>("tile x=0 every delay 600000\n");
  RawConnection idle(service->Port());
  ASSERT_TRUE(idle.Send(GetRequest(TileTarget(1, 0, 2))));
  EXPECT_EQ(idle.ReadReply().Status, 200);
  RawConnection waiting(service->Port());
  ASSERT_TRUE(waiting.Send(GetRequest(TileTarget(0, 0, 2))));
  ASSERT_TRUE(service->WaitForRequests(2, std::chrono::seconds(20)));
  EXPECT_EQ(service->Stop(), 0);
  EXPECT_TRUE(idle.ServerCloses());
  EXPECT_TRUE(waiting.ServerCloses());
  EXPECT_THROW(StandinFixture("tile every explode\n"), std::runtime_error);
}

// Past the limit within a second, a request of the subject gets 429 with the named wait; the
// others are served as ever. (A slow machine could spread the requests over two windows, so the
// count refused is at least one of the five over the limit.)
TEST(StandinService, TheRateLimitAnswersTooManyRequestsWithItsWait) {
  StandinFixture service("ratelimit tile 3 retry-after=2\ntile every placeholder\n");
  RawConnection connection(service.Port());
  int refused = 0;
  for (int i = 0; i < 8; ++i) {
    ASSERT_TRUE(connection.Send(GetRequest(TileTarget(0, 0, 1))));
    const RawReply reply = connection.ReadReply();
    ASSERT_EQ(reply.End, ReplyEnd::Complete);
    if (reply.Status == 429) {
      ++refused;
      EXPECT_EQ(reply.StatusLine, "HTTP/1.1 429 Too Many Requests");
      EXPECT_EQ(reply.Header("Retry-After"), "2");
    } else {
      EXPECT_EQ(reply.Status, 200);
      EXPECT_EQ(reply.Header("Content-Type"), "image/jpeg");
      EXPECT_EQ(reply.Body, *TileCache().BlackTile()) << "the placeholder action";
    }
  }
  EXPECT_GE(refused, 1);
  EXPECT_EQ(Fetch(service, MetadataTarget("48.8584,2.2945")).Status, 200);
}

}  // namespace
}  // namespace korvane::test
