#include <gtest/gtest.h>

#include "download/TileFailure.h"

namespace korvane::test {
namespace {

using Kind = TileFailureKind;

TEST(TileFailure, RowsAreTestedInTableOrder) {
  // A socket error carrying 10054 or 10048 is a passing failure, not a dead network.
  EXPECT_EQ(ClassifyTileFailure("Socket Error # 10054\r\nConnection reset by peer."),
            Kind::ConnectionReset);
  EXPECT_EQ(ClassifyTileFailure("Connection Closed Gracefully."), Kind::ConnectionReset);
  EXPECT_EQ(ClassifyTileFailure("Socket Error # 10048\r\nAddress already in use."),
            Kind::AddressInUse);
  EXPECT_EQ(ClassifyTileFailure("302 Found"), Kind::Refused);
  EXPECT_EQ(ClassifyTileFailure("403 Forbidden"), Kind::Refused);
  EXPECT_EQ(ClassifyTileFailure("Socket Error # 10061\r\nConnection refused."), Kind::NetworkDown);
  EXPECT_EQ(ClassifyTileFailure("Socket Error # 11001\r\n"), Kind::NetworkDown);
  EXPECT_EQ(ClassifyTileFailure("404 Not Found"), Kind::NotFound);
  EXPECT_EQ(ClassifyTileFailure("400 Bad Request"), Kind::NotFound);
  EXPECT_EQ(ClassifyTileFailure("500 Internal Server Error"), Kind::Other);
  EXPECT_EQ(ClassifyTileFailure("'HTTP/1.1 abc' is not a valid integer value"), Kind::Other);
  // Plain substring tests, case-sensitive: a reason phrase can decide the row.
  EXPECT_EQ(ClassifyTileFailure("503 Try again in 403 seconds"), Kind::Refused);
  EXPECT_EQ(ClassifyTileFailure("connection closed gracefully."), Kind::Other);
}

}  // namespace
}  // namespace korvane::test
