#include <gtest/gtest.h>

#include <chrono>

#include "FaultPlan.h"
#include "FaultReply.h"
#include "PanoramaId.h"

namespace korvane::test {
namespace {

using namespace korvane::standin;

ServiceRequest Tile(int x, int y, int zoom, const std::string& id = "P") {
  return ClassifyRequest("GET", "/cbk?output=tile&panoid=" + id + "&x=" + std::to_string(x) +
                                    "&y=" + std::to_string(y) + "&zoom=" + std::to_string(zoom));
}

ServiceRequest Metadata(const std::string& ll) {
  return ClassifyRequest("GET", "/cbk?output=xml&ll=" + ll);
}

std::string Actions(const FaultPlan& plan, const ServiceRequest& request, int attempts) {
  std::string text;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    text += (attempt > 1 ? "," : "") + plan.Match(request, attempt).Describe();
  }
  return text;
}

TEST(FaultPlan, AttemptSpansCountTheRequestsForOneTarget) {
  const FaultPlan plan = FaultPlan::Parse(
      "tile x=0 first 2 reset\n"
      "tile x=0 from 5 status 403\n"
      "tile x=1 attempt 3 close\n"
      "tile x=2 every 2 empty\n"
      "tile x=3 every corrupt\n");
  EXPECT_EQ(Actions(plan, Tile(0, 0, 3), 6), "reset,reset,ok,ok,status 403,status 403");
  EXPECT_EQ(Actions(plan, Tile(1, 0, 3), 4), "ok,ok,close,ok");
  EXPECT_EQ(Actions(plan, Tile(2, 0, 3), 4), "ok,empty,ok,empty");
  EXPECT_EQ(Actions(plan, Tile(3, 0, 3), 2), "corrupt,corrupt");
}

TEST(FaultPlan, FiltersNarrowTheRequestsAndTheFirstMatchingRuleDecides) {
  const FaultPlan plan = FaultPlan::Parse(
      "# comments and blank lines are skipped\n"
      "\n"
      "   # indented too\n"
      "tile x=7 y=6 zoom=4 every status 404\n"
      "tile pano=OTHER every html\n"
      "tile zoom=4 every ok\n"
      "metadata every status 302\r\n"
      "any every reset\n");
  ASSERT_EQ(plan.Rules().size(), 5u);
  EXPECT_EQ(plan.Rules()[3].Line, 7);
  EXPECT_EQ(plan.Match(Tile(7, 6, 4), 1).Describe(), "status 404");
  EXPECT_EQ(plan.Match(Tile(7, 5, 4), 1).Describe(), "ok");
  EXPECT_EQ(plan.Match(Tile(7, 6, 3), 1).Describe(), "reset");
  EXPECT_EQ(plan.Match(Tile(7, 6, 3, "OTHER"), 1).Describe(), "html");
  EXPECT_EQ(plan.Match(Metadata("1,2"), 1).Describe(), "status 302");
  EXPECT_EQ(plan.Match(ClassifyRequest("GET", "/elsewhere"), 1).Describe(), "reset");
}

TEST(FaultPlan, PointFilterMatchesTheWholeCellOfThePoint) {
  const FaultPlan plan = FaultPlan::Parse("metadata ll=48.8584,2.2945 every nocoverage\n");
  const auto cell = CellOf(48.8584, 2.2945);
  const std::string centre =
      std::to_string(CellCentreLatitude(*cell)) + "," + std::to_string(CellCentreLongitude(*cell));
  EXPECT_EQ(plan.Match(Metadata(centre), 1).Kind, FaultKind::NoCoverage);
  EXPECT_EQ(plan.Match(Metadata("48.8594,2.2945"), 1).Kind, FaultKind::Ok);  // 110 m north
  EXPECT_EQ(plan.Match(Metadata("48.8584,x"), 1).Kind, FaultKind::Ok);
}

TEST(FaultPlan, ActionsCarryTheirArguments) {
  const FaultPlan plan = FaultPlan::Parse(
      "any attempt 1 status 302\n"
      "any attempt 2 status 302 location=http://elsewhere/ Moved Along\n"
      "any attempt 3 status 302 -\n"
      "any attempt 4 status 299\n"
      "any attempt 5 delay 250 truncate 100\n"
      "any attempt 6 cut\n"
      "any attempt 7 delay 100 delay 50\n"
      "any attempt 8 delay 10 stall\n");
  const ServiceRequest request = Tile(0, 0, 1);
  FaultAction action = plan.Match(request, 1);
  EXPECT_EQ(action.StatusCode, 302);
  EXPECT_EQ(action.Reason, "Found");
  EXPECT_FALSE(action.Location);
  action = plan.Match(request, 2);
  EXPECT_EQ(action.Reason, "Moved Along");
  EXPECT_EQ(action.Location, "http://elsewhere/");
  EXPECT_EQ(plan.Match(request, 3).Reason, "");
  EXPECT_EQ(plan.Match(request, 4).Reason, "Unknown");
  action = plan.Match(request, 5);
  EXPECT_EQ(action.Kind, FaultKind::Truncate);
  EXPECT_EQ(action.Bytes, 100);
  EXPECT_EQ(action.DelayMs, 250);
  EXPECT_EQ(action.Describe(), "delay 250 truncate 100");
  EXPECT_EQ(plan.Match(request, 6).Bytes, -1);
  EXPECT_EQ(plan.Match(request, 7).Describe(), "delay 150 ok");
  EXPECT_EQ(plan.Match(request, 8).Describe(), "delay 10 stall");
}

TEST(FaultPlan, PushBackActionsAndTheRateLimit) {
  const FaultPlan plan = FaultPlan::Parse(
      "ratelimit tile 20 retry-after=2\n"
      "tile attempt 1 status 429 retry-after=7\n"
      "tile attempt 2 status 503 location=/x retry-after=0 Busy\n"
      "tile attempt 3 sorry\n"
      "tile attempt 4 placeholder\n");
  const ServiceRequest request = Tile(0, 0, 1);
  FaultAction action = plan.Match(request, 1);
  EXPECT_EQ(action.RetryAfterSeconds, 7);
  EXPECT_EQ(action.Describe(), "status 429 retry-after=7");
  action = plan.Match(request, 2);
  EXPECT_EQ(action.RetryAfterSeconds, 0);
  EXPECT_EQ(action.Location, "/x");
  EXPECT_EQ(action.Reason, "Busy");
  EXPECT_EQ(plan.Match(request, 3).Describe(), "sorry");
  EXPECT_EQ(plan.Match(request, 4).Kind, FaultKind::Placeholder);
  ASSERT_TRUE(plan.RateLimit());
  EXPECT_EQ(plan.RateLimit()->PerSecond, 20);
  EXPECT_TRUE(plan.RateLimited(request));
  EXPECT_FALSE(plan.RateLimited(Metadata("1,2")));
  EXPECT_EQ(plan.RateLimitedAction().Describe(), "status 429 retry-after=2");
  EXPECT_EQ(plan.RateLimitedAction().Reason, "Too Many Requests");
  EXPECT_TRUE(plan.Rules().size() == 4u);

  const Reply sorry = ShapeReply(plan.Match(request, 3), Reply(), request);
  EXPECT_EQ(sorry.Status, 302);
  ASSERT_EQ(sorry.Headers.size(), 1u);
  EXPECT_EQ(sorry.Headers[0],
            (std::pair<std::string, std::string>{"Location", "/sorry/index?continue=%2F"}));
  const Reply busy = ShapeReply(plan.Match(request, 1), Reply(), request);
  EXPECT_EQ(busy.Status, 429);
  EXPECT_EQ(busy.Headers.back(), (std::pair<std::string, std::string>{"Retry-After", "7"}));
  EXPECT_FALSE(FaultPlan::Parse("tile every reset").RateLimit());
}

TEST(RateLimiter, AdmitsNAWindowOfOneSecond) {
  RateLimiter limiter(3);
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(limiter.Admit(start + std::chrono::milliseconds(i * 100)));
  EXPECT_FALSE(limiter.Admit(start + std::chrono::milliseconds(900)));
  EXPECT_TRUE(limiter.Admit(start + std::chrono::milliseconds(1000)));
  EXPECT_TRUE(limiter.Admit(start + std::chrono::milliseconds(1500)));
  EXPECT_TRUE(limiter.Admit(start + std::chrono::milliseconds(1999)));
  EXPECT_FALSE(limiter.Admit(start + std::chrono::milliseconds(1999)));
}

TEST(FaultPlan, TileLatencyDelaysTilesOnlyAndIsBounded) {
  FaultPlan plan = FaultPlan::Parse("tile x=0 every delay 100 reset\n");
  EXPECT_EQ(plan.LatencyFor(Tile(0, 0, 2)), 0);
  plan.SetTileLatency(50);
  EXPECT_EQ(plan.LatencyFor(Tile(0, 0, 2)), 50);
  EXPECT_EQ(plan.LatencyFor(Tile(1, 0, 2)), 50);
  EXPECT_EQ(plan.LatencyFor(Metadata("46.45,6.55")), 0);
  // The rules still decide what follows the wait.
  EXPECT_EQ(plan.Match(Tile(0, 0, 2), 1).Describe(), "delay 100 reset");
  EXPECT_THROW(plan.SetTileLatency(-1), EPlanError);
  EXPECT_THROW(plan.SetTileLatency(MaxPlanDelayMs + 1), EPlanError);
  EXPECT_EQ(plan.LatencyFor(Tile(0, 0, 2)), 50);
}

TEST(FaultPlan, EveryActionNameIsKnown) {
  for (const char* action : {"ok",         "reset", "close",      "cut",      "cut 10",
                             "status 500", "html",  "empty",      "truncate", "truncate 7",
                             "corrupt",    "stall", "chunked",    "http10",   "delay 5",
                             "headonly",   "drip",  "drip 5",     "oversize", "oversize 70000000",
                             "endless",    "sorry", "placeholder"}) {
    EXPECT_NO_THROW(FaultPlan::Parse(std::string("tile every ") + action)) << action;
  }
  EXPECT_NO_THROW(FaultPlan::Parse("metadata every nocoverage"));
}

TEST(FaultPlan, MistakesAreRefusedWithTheirLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"tile every explode", "line 1: unknown action \"explode\""},
      {"\n\nsomething every ok",
       "line 3: expected metadata, lookup, tile or any, not \"something\""},
      {"tile first reset", "line 1: N must be a whole number from 1 to 1000000000, not \"reset\""},
      {"tile first 0 reset", "line 1: N must be a whole number"},
      {"tile sometimes reset", "line 1: expected every, first N, from N or attempt N"},
      {"tile", "line 1: missing attempts"},
      {"tile every", "line 1: missing action"},
      {"tile every status", "line 1: missing status code"},
      {"tile every status 42", "line 1: status must be a whole number from 100 to 999"},
      {"tile every reset now", "line 1: unexpected \"now\""},
      {"tile x=-1 every ok", "line 1: x must be a whole number"},
      {"tile colour=red every ok", "line 1: unknown filter \"colour=red\""},
      {"metadata x=1 every ok", "line 1: filter x= needs a tile rule"},
      {"tile ll=1,2 every ok", "line 1: filter ll= needs a metadata or lookup rule"},
      {"metadata ll=1 every ok", "line 1: ll= must be LAT,LON"},
      {"metadata ll=85,0 every ok", "line 1: ll= names a point without coverage"},
      {"tile every nocoverage", "line 1: nocoverage needs a metadata or lookup rule"},
      {"tile every delay 600001", "line 1: delay must be a whole number from 0 to 600000"},
      {"tile every delay x", "line 1: delay must be a whole number"},
      {"tile every drip 0", "line 1: drip must be a whole number from 1 to 60000"},
      {"tile every endless 5", "line 1: unexpected \"5\""},
      {"lookup every placeholder", "line 1: placeholder needs a tile rule"},
      {"tile every status 429 retry-after=x", "line 1: retry-after must be a whole number"},
      {"ratelimit tile 0", "line 1: requests a second must be a whole number from 1"},
      {"ratelimit tile", "line 1: missing requests a second"},
      {"ratelimit tile 5 now", "line 1: unexpected \"now\""},
      {"ratelimit tile 5\nratelimit any 6", "line 2: a second rate limit"},
  };
  for (const auto& [plan, message] : cases) {
    try {
      FaultPlan::Parse(plan);
      ADD_FAILURE() << "accepted: " << plan;
    } catch (const EPlanError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(message, 0), 0u) << plan << " -> " << error.what();
    }
  }
}

TEST(FaultPlan, FilteredRulesNeverMatchRequestsTheServiceCannotRead) {
  const FaultPlan plan = FaultPlan::Parse("tile x=0 every reset\ntile every html\n");
  const ServiceRequest malformed = ClassifyRequest("GET", "/cbk?output=tile&panoid=P&x=0&y=a");
  ASSERT_FALSE(malformed.Valid());
  EXPECT_EQ(plan.Match(malformed, 1).Kind, FaultKind::Html);
}

}  // namespace
}  // namespace korvane::test
