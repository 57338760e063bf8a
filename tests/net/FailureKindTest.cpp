#include <gtest/gtest.h>

#include "net/FailureKind.h"
#include "net/HttpErrors.h"

namespace korvane {
namespace {

template <typename Error>
RequestFailure Classify(const Error& error) {
  return ClassifyFailure(std::make_exception_ptr(error));
}

TEST(FailureKind, TheCarriedValuesDecideAndTheMessageIsKept) {
  const RequestFailure reset = Classify(SocketError(10054));
  EXPECT_EQ(reset.Kind, FailureKind::ConnectionReset);
  EXPECT_EQ(reset.Message, "Socket Error # 10054\r\nConnection reset by peer.");
  EXPECT_EQ(Classify(SocketError(10048)).Kind, FailureKind::AddressInUse);
  EXPECT_EQ(Classify(SocketError(10060)).Kind, FailureKind::SocketFailure);
  EXPECT_EQ(Classify(SocketError(11001)).Kind, FailureKind::SocketFailure);
  EXPECT_EQ(Classify(ConnectionClosedError()).Kind, FailureKind::ClosedEarly);
  EXPECT_EQ(Classify(HttpStatusError(302, "302")).Kind, FailureKind::Redirect);
  EXPECT_EQ(Classify(HttpStatusError(403, "403 Forbidden")).Kind, FailureKind::Forbidden);
  EXPECT_EQ(Classify(HttpStatusError(404, "404 Not Found")).Kind, FailureKind::NotFound);
  EXPECT_EQ(Classify(HttpStatusError(400, "400 Bad Request")).Kind, FailureKind::BadRequest);
  const RequestFailure own = Classify(HttpClientError("reply head too long"));
  EXPECT_EQ(own.Kind, FailureKind::Other);
  EXPECT_EQ(own.Message, "reply head too long");
  const RequestFailure untexted = Classify(42);
  EXPECT_EQ(untexted.Kind, FailureKind::Untexted);
  EXPECT_FALSE(untexted.Message);
}

TEST(FailureKind, ARefusedKeyIsFinalWithTheServicesLine) {
  const RequestFailure refused = Classify(AccessRefusedError(403, "Map Tiles API: billing\r\n"));
  EXPECT_EQ(refused.Kind, FailureKind::AccessRefused);
  EXPECT_EQ(refused.Status, 403);
  EXPECT_FALSE(refused.PushBack);
  // Outside text never reaches a line with its control characters.
  EXPECT_EQ(refused.Message->find('\r'), std::string::npos);
}

TEST(FailureKind, AReasonPhraseHoldingAnotherNumberIsStillItsOwnStatus) {
  const RequestFailure busy = Classify(HttpStatusError(503, "503 Try again in 403 seconds"));
  EXPECT_EQ(busy.Kind, FailureKind::OtherStatus);
  EXPECT_EQ(busy.Message, "503 Try again in 403 seconds");
  EXPECT_EQ(Classify(HttpStatusError(500, "500 Socket Error # 10054")).Kind,
            FailureKind::OtherStatus);
  EXPECT_EQ(Classify(HttpStatusError(404, "404 Connection Closed Gracefully")).Kind,
            FailureKind::NotFound);
}

}  // namespace
}  // namespace korvane
