#include <gtest/gtest.h>

#include <stdexcept>

#include "download/DownloadLimits.h"
#include "download/TileFailure.h"
#include "net/HttpErrors.h"

namespace korvane::test {
namespace {

using Kind = TileFailureKind;

template <typename Error>
Kind Classify(const Error& error) {
  return ClassifyTileFailure(ClassifyFailure(std::make_exception_ptr(error)).Kind);
}

TEST(TileFailure, RowsFollowTheCarriedStatusAndErrorNumber) {
  // A socket error carrying 10054 or 10048 is a passing failure, not a dead network.
  EXPECT_EQ(Classify(SocketError(10054)), Kind::ConnectionReset);
  EXPECT_EQ(Classify(ConnectionClosedError()), Kind::ConnectionReset);
  EXPECT_EQ(Classify(SocketError(10048)), Kind::AddressInUse);
  EXPECT_EQ(Classify(HttpStatusError(302, "302 Found")), Kind::Refused);
  EXPECT_EQ(Classify(HttpStatusError(403, "403 Forbidden")), Kind::Refused);
  EXPECT_EQ(Classify(SocketError(10061)), Kind::NetworkDown);
  EXPECT_EQ(Classify(SocketError(11001)), Kind::NetworkDown);
  EXPECT_EQ(Classify(HttpStatusError(404, "404 Not Found")), Kind::NotFound);
  EXPECT_EQ(Classify(HttpStatusError(400, "400 Bad Request")), Kind::NotFound);
  EXPECT_EQ(Classify(HttpStatusError(500, "500 Internal Server Error")), Kind::Other);
  EXPECT_EQ(Classify(HttpClientError("'HTTP/1.1 abc' is not a valid integer value")), Kind::Other);
  EXPECT_EQ(Classify(std::runtime_error("anything")), Kind::Other);
  EXPECT_EQ(Classify(42), Kind::Untexted);
}

TEST(TileFailure, AReasonPhraseNeverDecidesTheRow) {
  EXPECT_EQ(Classify(HttpStatusError(503, "503 Try again in 403 seconds")), Kind::Other);
  EXPECT_EQ(Classify(HttpStatusError(500, "500 Socket Error # 10054")), Kind::Other);
  EXPECT_EQ(Classify(HttpStatusError(200, "200 OK")), Kind::Other) << "a 2xx with a Location";
  EXPECT_EQ(Classify(SocketError(10061, "302 404 Connection Closed Gracefully")),
            Kind::NetworkDown);
  EXPECT_EQ(Classify(HttpClientError("Socket Error # 10054")), Kind::Other);
}

// Push-back is its own row in today's table only: the classic table keeps judging by the kind,
// so a 302 stays a ban there whatever its Location.
TEST(TileFailure, PushBackHasARowInTheCurrentTableOnly) {
  struct Case {
    RequestFailure failure;
    Kind classic;
  };
  const Case cases[] = {
      {ClassifyFailure(std::make_exception_ptr(HttpStatusError(429, "429 Too Many Requests"))),
       Kind::Other},
      {ClassifyFailure(std::make_exception_ptr(HttpStatusError(302, "302 Found", "/sorry/index"))),
       Kind::Refused},
      {ClassifyFailure(std::make_exception_ptr(HtmlPageError("200 OK", "text/html"))), Kind::Other},
      {ClassifyFailure(
           std::make_exception_ptr(HttpStatusError(503, "503 Service Unavailable", "", "30"))),
       Kind::Other},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(*c.failure.Message);
    EXPECT_EQ(TileRepeats(PanoramaProtocol::Current).RuleFor(c.failure).Final, Kind::PushBack);
    EXPECT_EQ(TileRepeats(PanoramaProtocol::Classic).RuleFor(c.failure).Final, c.classic);
  }
  const RequestFailure tooMany = cases[0].failure;
  const auto& current = TileRepeats(PanoramaProtocol::Current);
  EXPECT_TRUE(current.Judge(tooMany, PushBackAttempts - 1).Repeat);
  EXPECT_FALSE(current.Judge(tooMany, PushBackAttempts).Repeat);
  EXPECT_FALSE(current.Judge(tooMany, 1).LineDue) << "the refusing line says it once";
  // A 302 elsewhere is still a ban in today's table too.
  EXPECT_EQ(current
                .RuleFor(ClassifyFailure(std::make_exception_ptr(
                    HttpStatusError(302, "302 Found", "http://other.test/x"))))
                .Final,
            Kind::Refused);
}

}  // namespace
}  // namespace korvane::test
