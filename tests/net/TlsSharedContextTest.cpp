#include <gtest/gtest.h>

#include "net/HttpErrors.h"
#include "net/TlsClientContext.h"

namespace korvane::test {
namespace {

TEST(TlsSharedContext, OneContextPerCaFileWhileAnyClientHoldsIt) {
  auto first = TlsClientContext::Shared("");
  auto second = TlsClientContext::Shared("");
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(first->CaFile(), "");
  first.reset();
  second.reset();
  // None held: the next is built anew (so a CA file's new content counts from then on).
  EXPECT_NE(TlsClientContext::Shared("")->Native(), nullptr);
  EXPECT_THROW(TlsClientContext::Shared("/no/such/ca.pem"), TlsError);
}

}  // namespace
}  // namespace korvane::test
