#include <gtest/gtest.h>

#include "HttpRequest.h"
#include "ServiceRequest.h"
#include "StandinLimits.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;
using Result = HeadParse::Result;

// What the program's HTTP client sends for a tile.
const std::string ClientRequest =
    "GET /cbk?output=tile&panoid=P&x=7&y=6&zoom=4 HTTP/1.1\r\n"
    "Host: 127.0.0.1\r\n"
    "Accept: text/html, */*\r\n"
    "Referer: http://127.0.0.1/\r\n"
    "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)\r\n"
    "Connection: Keep_Alive\r\n"
    "Cookie: \r\n"
    "\r\n";

TEST(RequestHead, ReadsTheClientsRequestWhateverPiecesItArrivesIn) {
  for (std::size_t length = 0; length < ClientRequest.size(); ++length) {
    ASSERT_EQ(ParseRequestHead(ClientRequest.substr(0, length)).State, Result::NeedMore) << length;
  }
  const HeadParse head = ParseRequestHead(ClientRequest + "GET /next");
  ASSERT_EQ(head.State, Result::Complete);
  EXPECT_EQ(head.HeadBytes, ClientRequest.size());
  EXPECT_EQ(head.Request.Method, "GET");
  EXPECT_EQ(head.Request.Target, "/cbk?output=tile&panoid=P&x=7&y=6&zoom=4");
  EXPECT_EQ(head.Request.VersionMinor, 1);
  EXPECT_TRUE(head.Request.KeepAlive);  // "Keep_Alive" is no option; 1.1 stays open anyway
  EXPECT_EQ(head.Request.Header("user-agent"),
            "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1)");
  EXPECT_EQ(head.Request.Header("Cookie"), "");
  EXPECT_FALSE(head.Request.Header("Content-Length"));
}

TEST(RequestHead, ConnectionPersistenceFollowsVersionAndConnectionHeader) {
  auto keepAlive = [](const std::string& head) {
    const HeadParse parsed = ParseRequestHead(head + "\r\n");
    EXPECT_EQ(parsed.State, Result::Complete) << head;
    return parsed.Request.KeepAlive;
  };
  EXPECT_TRUE(keepAlive("GET / HTTP/1.1\r\nHost: a\r\n"));
  EXPECT_FALSE(keepAlive("GET / HTTP/1.1\r\nHost: a\r\nConnection: close\r\n"));
  EXPECT_FALSE(keepAlive("GET / HTTP/1.1\r\nHost: a\r\nConnection: TE, Close\r\n"));
  EXPECT_FALSE(keepAlive("GET / HTTP/1.0\r\n"));
  EXPECT_TRUE(keepAlive("GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n"));
}

TEST(RequestHead, AcceptsBareLineFeedsLeadingBlankLinesAndABody) {
  const std::string request = "\r\n\nGET / HTTP/1.1\nHost: a\nContent-Length: 3\n\nabc";
  const HeadParse head = ParseRequestHead(request);
  ASSERT_EQ(head.State, Result::Complete);
  EXPECT_EQ(head.HeadBytes, request.size() - 3);
  EXPECT_EQ(head.Request.ContentLength, 3u);
  EXPECT_EQ(head.Request.Target, "/");
}

TEST(RequestHead, MalformedHeadsAreBad) {
  const char* heads[] = {
      "GET /\r\n\r\n",
      "GET  / HTTP/1.1\r\nHost: a\r\n\r\n",
      "GET / HTTP/1.1 extra\r\nHost: a\r\n\r\n",
      "GET / HTTP/2.0\r\nHost: a\r\n\r\n",
      "GET / http/1.1\r\nHost: a\r\n\r\n",
      "G(T / HTTP/1.1\r\nHost: a\r\n\r\n",
      "GET cbk HTTP/1.1\r\nHost: a\r\n\r\n",
      "GET /a\x01 HTTP/1.1\r\nHost: a\r\n\r\n",
      "GET / HTTP/1.1\r\n\r\n",  // no Host
      "GET / HTTP/1.1\r\nHost: a\r\nHost: b\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nNoColon\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nBad Name: x\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\n folded\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\rX: y\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: x\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nContent-Length: 99999999999999999999\r\n\r\n",
      "GET / HTTP/1.1\r\nHost: a\r\nTransfer-Encoding: chunked\r\n\r\n",
  };
  for (const char* head : heads) {
    const HeadParse parsed = ParseRequestHead(head);
    EXPECT_EQ(parsed.State, Result::Bad) << head;
    EXPECT_FALSE(parsed.Problem.empty());
  }
}

TEST(RequestHead, OversizedHeadsAreBadBeforeTheyEnd) {
  // A request line that never ends is refused once it passes the limit, not when it ends.
  const std::string longLine = "GET /" + std::string(MaxRequestLineBytes, 'a');
  EXPECT_EQ(ParseRequestHead(longLine).State, Result::Bad);
  EXPECT_EQ(ParseRequestHead(longLine.substr(0, MaxRequestLineBytes - 10)).State, Result::NeedMore);
  const std::string longHeader =
      "GET / HTTP/1.1\r\nHost: a\r\nX: " + std::string(MaxHeaderLineBytes, 'b');
  EXPECT_EQ(ParseRequestHead(longHeader).State, Result::Bad);
  std::string manyHeaders = "GET / HTTP/1.1\r\nHost: a\r\n";
  for (int i = 0; i < MaxHeaderCount; ++i)
    manyHeaders += "X" + std::to_string(i) + ": v\r\n";
  EXPECT_EQ(ParseRequestHead(manyHeaders + "\r\n").State, Result::Bad);
  std::string bigHead = "GET / HTTP/1.1\r\nHost: a\r\n";
  while (bigHead.size() <= MaxRequestHeadBytes)
    bigHead += "X: " + std::string(1000, 'c') + "\r\n";
  EXPECT_EQ(ParseRequestHead(bigHead).State, Result::Bad);
  EXPECT_EQ(ParseRequestHead(std::string(MaxRequestHeadBytes + 2, '\n')).State, Result::Bad);
}

TEST(ServiceRequest, ReadsMetadataAndTileQueries) {
  ServiceRequest request = ClassifyRequest("GET", "/cbk?output=xml&ll=40.712776,-74.005974");
  ASSERT_TRUE(request.Valid()) << request.Problem;
  EXPECT_EQ(request.Kind, RequestKind::Metadata);
  EXPECT_DOUBLE_EQ(request.Latitude, 40.712776);
  EXPECT_DOUBLE_EQ(request.Longitude, -74.005974);
  // The general number format writes tiny values with an exponent.
  request = ClassifyRequest("GET", "/cbk?output=xml&ll=1E-6,-2.5E-5");
  ASSERT_TRUE(request.Valid()) << request.Problem;
  EXPECT_DOUBLE_EQ(request.Latitude, 1e-6);
  request =
      ClassifyRequest("GET", "http://cbk0.example:81/cbk?zoom=4&y=6&x=7&panoid=P%2DQ&output=tile");
  ASSERT_TRUE(request.Valid()) << request.Problem;
  EXPECT_EQ(request.Kind, RequestKind::Tile);
  EXPECT_EQ(request.PanoId, "P-Q");
  EXPECT_EQ(request.X, 7);
  EXPECT_EQ(request.Y, 6);
  EXPECT_EQ(request.Zoom, 4);
  EXPECT_EQ(OriginForm("http://cbk0.example:81/cbk?a=1"), "/cbk?a=1");
  EXPECT_EQ(OriginForm("/cbk?a=1"), "/cbk?a=1");
}

TEST(ServiceRequest, UnknownPathsAndMalformedQueriesCannotBeAnswered) {
  const char* targets[] = {
      "/",
      "/cbk2?output=xml&ll=1,2",
      "/cbk",
      "/cbk?output=json&ll=1,2",
      "/cbk?ll=1,2",
      "/cbk?output=xml",
      "/cbk?output=xml&ll=1",
      "/cbk?output=xml&ll=1,2,3",
      "/cbk?output=xml&ll=48,5,2,3",
      "/cbk?output=xml&ll=a,b",
      "/cbk?output=xml&ll=91,0",
      "/cbk?output=xml&ll=0,181",
      "/cbk?output=xml&ll=nan,0",
      "/cbk?output=xml&ll=1,2&ll=3,4",
      "/cbk?output=xml&ll=1%2",
      "/cbk?output=xml&=1&ll=1,2",
      "/cbk?output=tile&panoid=P&x=1&y=2",
      "/cbk?output=tile&panoid=P&x=1&y=2&zoom=z",
      "/cbk?output=tile&panoid=P&x=1.5&y=2&zoom=3",
      "/cbk?output=tile&panoid=P&x=99999999999&y=2&zoom=3",
  };
  for (const char* target : targets) {
    EXPECT_FALSE(ClassifyRequest("GET", target).Valid()) << target;
  }
  EXPECT_FALSE(ClassifyRequest("POST", "/cbk?output=xml&ll=1,2").Valid());
  // A tile outside the grid is no malformed request: the service answers it (in black).
  EXPECT_TRUE(ClassifyRequest("GET", "/cbk?output=tile&panoid=P&x=-1&y=99&zoom=9").Valid());
}

}  // namespace
}  // namespace korvane::test
