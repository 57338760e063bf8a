#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/Clock.h"
#include "ui/Controls.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

// Turns every nominal interval into no wait at all and remembers the intervals asked for.
class IntervalClock final : public Clock {
 public:
  IntervalClock() { SetClock(this); }
  ~IntervalClock() override { SetClock(nullptr); }
  void Sleep(Milliseconds) override {}
  Milliseconds RealDuration(Milliseconds nominal) override {
    std::lock_guard<std::mutex> lock(mutex_);
    asked_.push_back(nominal.count());
    return Milliseconds(0);
  }
  std::vector<long long> Asked() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return asked_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<long long> asked_;
};

struct TimerWindow : TForm {
  explicit TimerWindow(TApplication& app) : TForm(app, "timerWindow") {}
  TTimer progressTimer{this, "progressTimer"};
};

class ApplicationLoop : public ::testing::Test {
 protected:
  IntervalClock clock;
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
};

TEST_F(ApplicationLoop, CallsQueuedFromManyThreadsRunOnTheMainThreadInTheirOrder) {
  constexpr int Threads = 4, CallsEach = 200;
  std::vector<std::vector<int>> seen(Threads);
  int total = 0;
  bool allOnMain = true;
  std::vector<std::thread> workers;
  for (int t = 0; t < Threads; ++t) {
    workers.emplace_back([&, t] {
      for (int i = 0; i < CallsEach; ++i) {
        app.QueueCall([&, t, i] {
          allOnMain = allOnMain && app.IsMainThread();
          seen[t].push_back(i);
          if (++total == Threads * CallsEach) app.Terminate();
        });
      }
    });
  }
  app.Run();
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_TRUE(allOnMain);
  for (const std::vector<int>& calls : seen) {
    ASSERT_EQ(calls.size(), static_cast<std::size_t>(CallsEach));
    EXPECT_TRUE(std::is_sorted(calls.begin(), calls.end()));
  }
}

TEST_F(ApplicationLoop, SynchronizeReturnsOnlyAfterTheOperationRanOnTheMainThread) {
  int counter = 0;  // touched on the main thread only
  std::vector<int> seenByWorker;
  bool allOnMain = true;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      int value = 0;
      app.Synchronize([&] {
        allOnMain = allOnMain && app.IsMainThread();
        value = ++counter;
      });
      seenByWorker.push_back(value);
    }
    app.Synchronize([&] { app.Terminate(); });
  });
  app.Run();
  worker.join();
  EXPECT_TRUE(allOnMain);
  ASSERT_EQ(seenByWorker.size(), 100u);
  EXPECT_EQ(seenByWorker.back(), 100);

  bool ran = false;
  app.Synchronize([&] { ran = true; });  // on the main thread: runs at once
  EXPECT_TRUE(ran);
}

TEST_F(ApplicationLoop, AnExceptionInAQueuedOrSynchronizedCallShowsTheErrorBoxAndTheLoopGoesOn) {
  std::vector<std::string> order;
  app.QueueCall([] { throw Exception("Cannot create file /a"); });
  app.QueueCall([&] { order.push_back("after queued"); });
  std::thread worker([&] {
    app.Synchronize([] { throw Exception("Cannot create file /b"); });
    app.Synchronize([&] {
      order.push_back("after synchronized");
      app.Terminate();
    });
  });
  app.Run();
  worker.join();
  EXPECT_EQ(order, (std::vector<std::string>{"after queued", "after synchronized"}));
  EXPECT_EQ(dialogs.Errors(),
            (std::vector<std::string>{"Cannot create file /a", "Cannot create file /b"}));
}

TEST_F(ApplicationLoop, ProcessMessagesRunsWhatWasPendingAndReturns) {
  int runs = 0;
  std::function<void()> again = [&] {
    ++runs;
    app.QueueCall(again);  // queued while running: left for the next round
  };
  app.QueueCall(again);
  app.ProcessMessages();
  EXPECT_EQ(runs, 1);
  app.ProcessMessages();
  EXPECT_EQ(runs, 2);
}

TEST_F(ApplicationLoop, AHandlerThatProcessesMessagesLetsTheLaterCallsRunInOrder) {
  std::vector<std::string> order;
  app.QueueCall([&] {
    order.push_back("A begins");
    app.ProcessMessages();
    order.push_back("A ends");
  });
  app.QueueCall([&] { order.push_back("B"); });
  app.QueueCall([&] { order.push_back("C"); });
  app.ProcessMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"A begins", "B", "C", "A ends"}));
}

TEST_F(ApplicationLoop, TimersTickThroughTheLoopWithTheClocksIntervalUntilDisabled) {
  TimerWindow form(app);
  int ticks = 0;
  form.progressTimer.OnTimer = [&] {
    if (++ticks == 3) {
      form.progressTimer.SetEnabled(false);
      app.Terminate();
    }
  };
  app.Run();
  EXPECT_EQ(ticks, 3);
  for (long long asked : clock.Asked())
    EXPECT_EQ(asked, 1000);
  EXPECT_GE(clock.Asked().size(), 3u);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 3);  // disabled: no more ticks

  form.progressTimer.SetInterval(std::chrono::milliseconds(250));
  form.progressTimer.SetEnabled(true);
  app.ProcessMessages();
  EXPECT_EQ(ticks, 4);
  EXPECT_EQ(clock.Asked().back(), 250);
}

TEST_F(ApplicationLoop, ATimerHandlerThatProcessesMessagesIsNotEnteredAgain) {
  TimerWindow form(app);
  int depth = 0, deepest = 0, ticks = 0;
  form.progressTimer.OnTimer = [&] {
    deepest = std::max(deepest, ++depth);
    for (int i = 0; i < 3; ++i)
      app.ProcessMessages();
    --depth;
    if (++ticks == 5) app.Terminate();
  };
  app.Run();
  EXPECT_EQ(deepest, 1);
}

TEST_F(ApplicationLoop, ATimerWhoseHandlerThrowsShowsTheErrorAndKeepsTicking) {
  TimerWindow form(app);
  int ticks = 0;
  form.progressTimer.OnTimer = [&] {
    if (++ticks == 3) app.Terminate();
    throw Exception("Unable to write to /ro/t.krvn");
  };
  app.Run();
  EXPECT_EQ(dialogs.Errors().size(), 3u);
}

TEST_F(ApplicationLoop, ServingUntilWorkersEndRunsTheirCallsAsTheyComeAlsoAfterTerminate) {
  app.Terminate();  // the program is closing, but its workers still need the main thread
  constexpr int Workers = 8;
  int running = Workers;  // lowered on the main thread only, as a worker's last call
  int lines = 0;
  std::vector<std::thread> workers;
  for (int w = 0; w < Workers; ++w) {
    workers.emplace_back([&] {
      for (int i = 0; i < 20; ++i)
        app.Synchronize([&] { ++lines; });
      app.Synchronize([&] { --running; });
    });
  }
  app.ProcessMessagesUntil([&] { return running == 0; });
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(lines, Workers * 20);
}

TEST_F(ApplicationLoop, TerminateFromAnotherThreadEndsRun) {
  std::thread other([&] { app.Terminate(); });
  app.Run();
  other.join();
  EXPECT_TRUE(app.Terminated());
}

TEST(ApplicationLifetime, DestroyingTheApplicationReleasesAWorkerWaitingInSynchronize) {
  TScriptedDialogs dialogs;
  auto app = std::make_unique<TApplication>(dialogs);
  std::atomic<bool> ran{false};
  std::thread worker([&, raw = app.get()] { raw->Synchronize([&] { ran = true; }); });
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!app->HasQueuedCalls() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  EXPECT_TRUE(app->HasQueuedCalls()) << "the worker never queued its call";
  app.reset();
  worker.join();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace korvane::test
