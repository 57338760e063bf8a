#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "maptiles/MapTilesAccess.h"
#include "net/HttpClient.h"
#include "net/HttpErrors.h"
#include "net/MapTilesAddresses.h"
#include "support/StandinFixture.h"

namespace korvane {
namespace {

using test::StandinFixture;

constexpr const char* Key = "K-access";

class MapTilesAccessTest : public ::testing::Test {
 protected:
  explicit MapTilesAccessTest(std::vector<std::string> more = {})
      : standin("", 1, Arguments(std::move(more))),
        base("http://127.0.0.1:" + std::to_string(standin.Port())),
        metadata(MapTilesMetadataUrl(base, 48.8584, 2.2945)) {}

  static std::vector<std::string> Arguments(std::vector<std::string> more) {
    more.insert(more.begin(), {"--api-key", Key});
    return more;
  }
  int RequestsTo(const std::string& pathStart) const {
    int count = 0;
    for (const test::StandinRequest& request : standin.Requests())
      count += request.Target.starts_with(pathStart);
    return count;
  }
  // The message of the refusal a GET raises; empty when it succeeds.
  std::string RefusalOf(MapTilesAccess& access) {
    HttpClient client;
    std::string body;
    try {
      access.Get(client, MapTilesRequest::Metadata, metadata, body);
      return "";
    } catch (const AccessRefusedError& refused) {
      return refused.Message();
    }
  }

  StandinFixture standin;
  const std::string base;
  const std::string metadata;
};

TEST_F(MapTilesAccessTest, OneSessionServesEveryRequestAndEachIsCounted) {
  MapTilesAccess access(base, Key);
  HttpClient client;
  for (int i = 0; i < 3; ++i) {
    std::string body;
    access.Get(client, MapTilesRequest::Metadata, metadata, body);
    EXPECT_NE(body.find("\"panoId\""), std::string::npos) << body;
  }
  const MapTilesRequestCounts counts = access.Counts();
  EXPECT_EQ(counts.Sessions, 1);
  EXPECT_EQ(counts.Metadata, 3);
  EXPECT_EQ(RequestsTo("/v1/createSession"), 1);
}

TEST_F(MapTilesAccessTest, TheKeysRefusalIsOneLineAndNothingElseIsSent) {
  MapTilesAccess wrong(base, "another-key");
  EXPECT_EQ(RefusalOf(wrong), "Map Tiles API: API key not valid. Please pass a valid API key.");
  EXPECT_EQ(standin.Requests().size(), 1u);
  // The refusal holds for the rest of the run: nothing more is sent, and its line is not
  // repeated.
  EXPECT_EQ(RefusalOf(wrong), "");
  MapTilesAccess none(base, "");
  EXPECT_EQ(RefusalOf(none), MissingKeyMessage());
  MapTilesAccess unsafe(base, "a key&x=1");
  EXPECT_EQ(RefusalOf(unsafe), MissingKeyMessage());
  EXPECT_EQ(standin.Requests().size(), 1u);
}

class ShortSessionAccess : public MapTilesAccessTest {
 protected:
  ShortSessionAccess() : MapTilesAccessTest({"--session-requests", "7"}) {}
};

TEST_F(ShortSessionAccess, ExpiredSessionsAreRenewedForWorkersOnManyThreads) {
  MapTilesAccess access(base, Key);
  constexpr int Threads = 8;
  constexpr int RequestsEach = 12;
  std::vector<std::thread> threads;
  std::atomic<int> answered{0};
  for (int t = 0; t < Threads; ++t) {
    threads.emplace_back([&] {
      HttpClient client;
      for (int i = 0; i < RequestsEach; ++i) {
        std::string body;
        try {
          access.Get(client, MapTilesRequest::Metadata, metadata, body);
          ++answered;
        } catch (const std::exception& error) {
          ADD_FAILURE() << error.what();
        }
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  EXPECT_EQ(answered.load(), Threads * RequestsEach);
  const MapTilesRequestCounts counts = access.Counts();
  EXPECT_GE(counts.Sessions, Threads * RequestsEach / 7);
  EXPECT_EQ(counts.Sessions, RequestsTo("/v1/createSession"));
  // Every request refused for its session went out once more.
  EXPECT_EQ(counts.Metadata, RequestsTo("/v1/streetview/metadata"));
}

class DeadOnArrival : public MapTilesAccessTest {
 protected:
  DeadOnArrival() : MapTilesAccessTest({"--session-seconds", "0"}) {}
};

TEST_F(DeadOnArrival, ASessionRefusedRightAfterItsRenewalStopsTheRun) {
  MapTilesAccess access(base, Key);
  EXPECT_EQ(RefusalOf(access), "Map Tiles API: The session token is invalid or has expired.");
  EXPECT_EQ(RequestsTo("/v1/streetview/metadata"), 2);
}

class OneRequestQuota : public MapTilesAccessTest {
 protected:
  OneRequestQuota() : MapTilesAccessTest({"--quota-per-minute", "2"}) {}
};

TEST_F(OneRequestQuota, AnExhaustedQuotaIsTheReplysOwnStatus) {
  MapTilesAccess access(base, Key);
  HttpClient client;
  std::string body;
  access.Get(client, MapTilesRequest::Metadata, metadata, body);
  try {
    access.Get(client, MapTilesRequest::Metadata, metadata, body);
    FAIL() << "no refusal";
  } catch (const HttpStatusError& status) {
    EXPECT_EQ(status.ReplyErrorCode(), 429);
  }
  EXPECT_TRUE(body.empty());
}

}  // namespace
}  // namespace korvane
