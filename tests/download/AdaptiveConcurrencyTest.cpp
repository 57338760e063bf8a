#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "download/AdaptiveConcurrency.h"
#include "support/RecordingClock.h"

namespace korvane::test {
namespace {

// One request through the pace: taken, answered, handed back.
void Answer(AdaptiveConcurrency& pace, AnswerPace answer, int times = 1) {
  StopSignal never;
  for (int i = 0; i < times; ++i) {
    PaceTicket ticket;
    ASSERT_TRUE(pace.Acquire(never, ticket));
    pace.Release(ticket, answer);
  }
}

// One request pushed back; true when the pace then takes the refusal as lasting.
bool PushBack(AdaptiveConcurrency& pace, Milliseconds retryAfter = Milliseconds{0}) {
  StopSignal never;
  PaceTicket ticket;
  if (!pace.Acquire(never, ticket)) return false;
  const bool refusing = pace.PushedBack(ticket, retryAfter);
  pace.Release(ticket, AnswerPace::Neutral);
  return refusing;
}

TEST(AdaptiveConcurrency, StartsAtTheConfiguredNumberWithinOneToTheCeiling) {
  struct Case {
    int Start, Ceiling, Limit;
  } cases[] = {{8, 64, 8}, {0, 64, 1}, {-3, 64, 1}, {100, 64, 64}, {8, 0, 1}, {64, 64, 64}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Start);
    EXPECT_EQ(AdaptiveConcurrency(c.Start, c.Ceiling).Limit(), c.Limit);
  }
}

TEST(AdaptiveConcurrency, DoublesPerRoundUntilTheFirstPushBackAndStopsAtTheCeiling) {
  AdaptiveConcurrency pace(8, 64);
  Answer(pace, AnswerPace::Healthy, 8);
  EXPECT_EQ(pace.Limit(), 16);
  Answer(pace, AnswerPace::Healthy, 16);
  EXPECT_EQ(pace.Limit(), 32);
  Answer(pace, AnswerPace::Healthy, 100);
  EXPECT_EQ(pace.Limit(), 64);
}

TEST(AdaptiveConcurrency, NeutralAnswersNeitherGrowNorShrink) {
  AdaptiveConcurrency pace(8, 64);
  Answer(pace, AnswerPace::Neutral, 20);
  EXPECT_EQ(pace.Limit(), 8);
  EXPECT_EQ(pace.InFlight(), 0);
}

TEST(AdaptiveConcurrency, PushBackHalvesThenGrowsByOnePerRound) {
  AdaptiveConcurrency pace(8, 64);
  PushBack(pace);
  EXPECT_EQ(pace.Limit(), 4);
  // Additive now: one more after a whole round of four healthy answers, not before.
  Answer(pace, AnswerPace::Healthy, 3);
  EXPECT_EQ(pace.Limit(), 4);
  Answer(pace, AnswerPace::Healthy, 1);
  EXPECT_EQ(pace.Limit(), 5);
  Answer(pace, AnswerPace::Healthy, 5);
  EXPECT_EQ(pace.Limit(), 6);
}

TEST(AdaptiveConcurrency, PushBacksOfOneRoundHalveOnlyOnce) {
  AdaptiveConcurrency pace(8, 64);
  StopSignal never;
  std::vector<PaceTicket> tickets(8);
  for (PaceTicket& ticket : tickets)
    ASSERT_TRUE(pace.Acquire(never, ticket));
  // Eight requests in flight, all pushed back: the service asked for less once, not 8 times.
  for (const PaceTicket& ticket : tickets)
    pace.PushedBack(ticket, Milliseconds{0});
  EXPECT_EQ(pace.Limit(), 4);
  for (const PaceTicket& ticket : tickets)
    pace.Release(ticket, AnswerPace::Neutral);
  // A request sent after the reduction that is pushed back halves again.
  PushBack(pace);
  EXPECT_EQ(pace.Limit(), 2);
}

TEST(AdaptiveConcurrency, AtOneRequestPushBacksAddGrowingPausesUntilTheRefusalLasts) {
  RecordingClock clock;
  AdaptiveConcurrency pace(1, 64);
  EXPECT_FALSE(PushBack(pace));
  EXPECT_EQ(pace.Limit(), 1);
  EXPECT_EQ(pace.Pause(), FirstPushBackPause);
  EXPECT_FALSE(PushBack(pace));
  EXPECT_EQ(pace.Pause(), FirstPushBackPause * 5 / 4);
  // A healthy answer takes the pause away and starts the count of the refusal again.
  Answer(pace, AnswerPace::Healthy);
  EXPECT_EQ(pace.Pause(), Milliseconds{0});
  clock.Clear();
  int refused = 0;
  while (!PushBack(pace) && ++refused < 100) {
  }
  EXPECT_LE(pace.Pause(), LongestPushBackPause);
  EXPECT_TRUE(pace.Refusing());
  // Every request waited the pause the refusal before it set, the last refusal's excepted.
  const auto pauses = clock.PausesMs();
  ASSERT_EQ(pauses.size(), static_cast<std::size_t>(refused));
  long long waited = 0;
  for (std::size_t i = 0; i < pauses.size(); ++i) {
    if (i > 0) {
      EXPECT_EQ(pauses[i], std::min<long long>(pauses[i - 1] + pauses[i - 1] / 4, 60000));
    }
    waited += pauses[i];
  }
  EXPECT_EQ(pauses.front(), FirstPushBackPause.count());
  EXPECT_LT(waited, RefusalPatience.count());
  EXPECT_GE(waited + LongestPushBackPause.count(), RefusalPatience.count());
  // Closed: nobody sends again, and the refusal is said once.
  StopSignal never;
  PaceTicket ticket;
  EXPECT_FALSE(pace.Acquire(never, ticket));
  EXPECT_FALSE(pace.PushedBack(ticket, Milliseconds{0}));
}

TEST(AdaptiveConcurrency, ARetryAfterIsServedOnceByTheNextRequestAndIsCapped) {
  RecordingClock clock;
  AdaptiveConcurrency pace(2, 64);
  PushBack(pace, Milliseconds{5000});
  EXPECT_EQ(pace.Limit(), 1);
  Answer(pace, AnswerPace::Healthy, 2);
  EXPECT_EQ(clock.PausesMs(), (std::vector<long long>{5000}));
  clock.Clear();
  PushBack(pace, Milliseconds{3'600'000});
  Answer(pace, AnswerPace::Healthy);
  EXPECT_EQ(clock.PausesMs(), (std::vector<long long>{LongestPushBackPause.count()}));
}

TEST(AdaptiveConcurrency, NoRequestStartsWhileAnotherServesTheNamedWait) {
  RecordingClock clock(2);  // the named second lasts half a second
  AdaptiveConcurrency pace(8, 64);
  PushBack(pace, Milliseconds{1000});  // limit 4, and the next request waits 1 s
  StopSignal never;
  PaceTicket first;
  std::atomic<bool> secondIn{false};
  std::thread waiting([&] { ASSERT_TRUE(pace.Acquire(never, first)); });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  std::thread second([&] {
    PaceTicket ticket;
    ASSERT_TRUE(pace.Acquire(never, ticket));
    secondIn = true;
    pace.Release(ticket, AnswerPace::Neutral);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(secondIn);
  waiting.join();
  second.join();
  EXPECT_TRUE(secondIn);
  pace.Release(first, AnswerPace::Neutral);
}

TEST(AdaptiveConcurrency, NeverMoreInFlightThanTheLimitAndAStopWakesTheWaiting) {
  AdaptiveConcurrency pace(3, 3);
  StopSignal stop;
  std::atomic<int> inFlight{0};
  std::atomic<int> most{0};
  std::atomic<int> refused{0};
  std::vector<std::thread> workers;
  for (int i = 0; i < 8; ++i) {
    workers.emplace_back([&] {
      for (;;) {
        PaceTicket ticket;
        if (!pace.Acquire(stop, ticket)) {
          ++refused;
          return;
        }
        const int now = ++inFlight;
        int seen = most.load();
        while (now > seen && !most.compare_exchange_weak(seen, now)) {
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        --inFlight;
        pace.Release(ticket, AnswerPace::Neutral);
      }
    });
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  stop.Raise();
  pace.WakeAll();
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(most.load(), 3);
  EXPECT_EQ(refused.load(), 8);
  EXPECT_EQ(pace.InFlight(), 0);
}

TEST(AdaptiveConcurrency, ALaneAboveTheLimitWaitsAndClosingEndsEveryWait) {
  AdaptiveConcurrency pace(2, 64);
  StopSignal never;
  PaceTicket low;
  low.Lane = 1;
  ASSERT_TRUE(pace.Acquire(never, low));
  pace.Release(low, AnswerPace::Neutral);
  std::atomic<bool> gotSlot{true};
  std::thread high([&] {
    PaceTicket ticket;
    ticket.Lane = 5;
    gotSlot = pace.Acquire(never, ticket);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(pace.InFlight(), 0) << "lane 5 must wait while the limit is 2";
  pace.Close();
  high.join();
  EXPECT_FALSE(gotSlot.load());
  PaceTicket late;
  EXPECT_FALSE(pace.Acquire(never, late));
}

TEST(AdaptiveConcurrency, ARetiredLaneLetsTheLanesAboveItMoveDown) {
  AdaptiveConcurrency pace(2, 8);
  StopSignal never;
  std::atomic<bool> gotSlot{false};
  std::thread third([&] {
    PaceTicket ticket;
    ticket.Lane = 2;
    gotSlot = pace.Acquire(never, ticket);
    if (gotSlot) pace.Release(ticket, AnswerPace::Neutral);
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_FALSE(gotSlot.load());
  pace.Retire(0);  // the worker of lane 0 ended on a dead network: lane 2 is second now
  third.join();
  EXPECT_TRUE(gotSlot.load());
}

}  // namespace
}  // namespace korvane::test
