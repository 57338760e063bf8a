#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <thread>

#include "platform/Clock.h"
#include "ui/Controls.h"
#include "ui/TScriptedDialogs.h"
#include "ui/qt/TQtBackend.h"
#include "ui/qt/TQtDialogs.h"

namespace korvane::test {
namespace {

// Turns every nominal interval into no wait at all.
class NoWaitClock final : public Clock {
 public:
  NoWaitClock() { SetClock(this); }
  ~NoWaitClock() override { SetClock(nullptr); }
  void Sleep(Milliseconds) override {}
  Milliseconds RealDuration(Milliseconds) override { return Milliseconds(0); }
};

class QtLoop : public ::testing::Test {
 protected:
  NoWaitClock clock;
  TScriptedDialogs dialogs;
  TQtBackend backend;
  TApplication app{dialogs, &backend};
};

bool OnGuiThread() {
  return QThread::currentThread() == QApplication::instance()->thread();
}

TEST_F(QtLoop, SynchronizeFromWorkersRunsOnTheGuiThreadAndWaits) {
  constexpr int Workers = 4, Calls = 50;
  int done = 0, running = Workers;
  bool allOnGui = true;
  std::vector<std::thread> workers;
  for (int w = 0; w < Workers; ++w) {
    workers.emplace_back([&] {
      for (int i = 0; i < Calls; ++i) {
        int seen = -1;
        app.Synchronize([&] {
          allOnGui = allOnGui && OnGuiThread();
          seen = ++done;
        });
        allOnGui = allOnGui && seen > 0;  // the call ran before Synchronize returned
      }
      app.Synchronize([&] {
        if (--running == 0) app.Terminate();
      });
    });
  }
  app.Run();
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_TRUE(allOnGui);
  EXPECT_EQ(done, Workers * Calls);
}

TEST_F(QtLoop, ProcessMessagesRunsQueuedCallsAndExceptionsShowTheErrorBox) {
  std::vector<int> order;
  app.QueueCall([&] { order.push_back(1); });
  app.QueueCall([] { throw Exception("Cannot open file /x.ftl"); });
  app.QueueCall([&] { order.push_back(3); });
  app.ProcessMessages();
  EXPECT_EQ(order, (std::vector<int>{1, 3}));
  EXPECT_EQ(dialogs.Errors(), std::vector<std::string>{"Cannot open file /x.ftl"});
}

struct TimerForm : TForm {
  explicit TimerForm(TApplication& app) : TForm(app, "timerWindow") {}
  TTimer progressTimer{this, "progressTimer"};
};

TEST_F(QtLoop, TimersTickAsQTimersUntilDisabledAndMayBeDestroyedInTheirTick) {
  auto form = std::make_unique<TimerForm>(app);
  int ticks = 0;
  form->progressTimer.OnTimer = [&] {
    EXPECT_TRUE(OnGuiThread());
    if (++ticks == 3) {
      form->progressTimer.SetEnabled(false);
      app.QueueCall([&] { form.reset(); });
      app.QueueCall([&] { app.Terminate(); });
    }
  };
  app.Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(form, nullptr);
}

TEST_F(QtLoop, ServingUntilWorkersEndDoesNotNeedRun) {
  int running = 3;
  std::vector<std::thread> workers;
  for (int w = 0; w < 3; ++w) {
    workers.emplace_back([&] { app.Synchronize([&] { --running; }); });
  }
  app.ProcessMessagesUntil([&] { return running == 0; });
  for (std::thread& worker : workers)
    worker.join();
  EXPECT_EQ(running, 0);
}

TEST(QtLoopEnd, AMessageBoxShownWhileTheProgramWindsDownStillWaitsForOk) {
  TQtDialogs dialogs;
  TQtBackend backend;
  TApplication app(dialogs, &backend);
  app.QueueCall([&] { app.Terminate(); });
  app.Run();
  bool answered = false;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      answered = true;
      box->button(QMessageBox::Ok)->click();
    }
  });
  app.ShowMessage("Task stoped!                    ");
  EXPECT_TRUE(answered);
}

}  // namespace
}  // namespace korvane::test
