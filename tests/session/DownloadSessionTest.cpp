#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "session/DownloadSession.h"
#include "session/StartRules.h"
#include "session/TaskFileRequest.h"
#include "support/RecordingClock.h"
#include "support/StandinFixture.h"
#include "support/TempFolder.h"
#include "ui/TApplication.h"
#include "ui/TScriptedDialogs.h"
#include "ui/TTimer.h"

namespace korvane::test {
namespace {

// Real time a small task may take before the test counts it as hung.
constexpr std::chrono::seconds TaskBound{120};

// A host that keeps what a session reports, in order, as short texts.
class RecordingHost : public SessionHost {
 public:
  explicit RecordingHost(TApplication& app) : app_(app) {}

  std::vector<std::string> events;
  TStringList log;
  TStringList failed;
  SessionProgress lastProgress;
  int ended = 0;

  void LogReplaced(const TStringList& lines) override { log = lines; }
  void LogLineAdded(const std::string& line) override { log.push_back(line); }
  void FailedListReplaced(const TStringList& lines) override { failed = lines; }
  void FailedLineAdded(const std::string& line) override { failed.push_back(line); }
  void ShowMessage(const std::string& text) override { events.push_back("message: " + text); }
  void TaskStarted(int totalTiles) override {
    events.push_back("started: " + std::to_string(totalTiles));
  }
  void ProgressChanged(const SessionProgress& progress) override { lastProgress = progress; }
  void TaskEnded(const std::exception* error) override {
    events.push_back(error ? std::string("ended: ") + error->what() : "ended");
    ++ended;
  }
  void ServeUntil(const std::function<bool()>& done) override { app_.ProcessMessagesUntil(done); }
  bool Quitting() const override { return app_.Terminated(); }

 private:
  TApplication& app_;
};

class DownloadSessionTest : public ::testing::Test {
 protected:
  explicit DownloadSessionTest(const std::string& plan = "")
      : standin(std::make_unique<StandinFixture>(plan)) {
    program.WriteConfig(standin->ServiceConfig());
    tick.OnTimer = [this] { session.Tick(); };
  }

  // The boxes as typed, with the service route the configuration holds now, as the window
  // makes its request at each press of Start.
  static StartRequest Typed(StartRequest boxes) {
    boxes.Service = ReadServiceRoute();
    return boxes;
  }

  StartRequest Request(const std::string& task, const std::string& zoom) const {
    return Typed({task, "48.8566", "2.3522", zoom, save.Path()});
  }

  void RunToEnd() {
    const int endedBefore = host.ended;
    const auto deadline = std::chrono::steady_clock::now() + TaskBound;
    app.ProcessMessagesUntil(
        [&] { return host.ended > endedBefore || std::chrono::steady_clock::now() > deadline; });
    ASSERT_GT(host.ended, endedBefore) << "the task did not end in time";
  }

  int LookUps() const {
    int count = 0;
    for (const auto& request : standin->Requests()) {
      if (request.Target.find("output=xml") != std::string::npos) ++count;
    }
    return count;
  }

  RecordingClock clock{100};
  TempProgramFolder program;
  TempFolder save;
  std::unique_ptr<StandinFixture> standin;
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  RecordingHost host{app};
  DownloadSession session{host, app};
  TTimer tick{app, "tick"};
};

TEST_F(DownloadSessionTest, RefusalsComeInTheirOrderAndNothingStarts) {
  const std::pair<StartRequest, std::string> refused[] = {
      {{"t", "48", "2", "7", save.Path()}, "message: Zoom level should be between 1 and 5."},
      {{"t", "85.1", "180.5", "3", save.Path()},
       "message: Longitude should be between -180 and 180."},
      {{"t", "85.1", "180", "3", save.Path()}, "message: Latitude should be between -85 and 85."},
  };
  for (const auto& [request, shown] : refused) {
    host.events.clear();
    EXPECT_FALSE(session.Start(Typed(request)));
    EXPECT_EQ(host.events, std::vector<std::string>{shown});
  }
  EXPECT_THROW(session.Start(Typed({"t", "48", "2", "x", save.Path()})), EConvertError);
  EXPECT_EQ(LookUps(), 0) << "input is refused before the lookup";

  // Folder checks come after the lookup.
  host.events.clear();
  EXPECT_FALSE(session.Start(Typed({"t", "48.8566", "2.3522", "1", ""})));
  EXPECT_FALSE(session.Start(Typed({"t", "48.8566", "2.3522", "1", save.Path() + "no/such"})));
  EXPECT_EQ(host.events, (std::vector<std::string>{
                             "message: Please select a path to save the images.",
                             "message: Create directory " + save.Path() + "no/such Failed."}));
  EXPECT_EQ(LookUps(), 2);
  EXPECT_EQ(session.Task(), nullptr);
  EXPECT_FALSE(session.Running());
}

TEST_F(DownloadSessionTest, NoPanoramaLogsTheEmptyIdAndSaysSo) {
  EXPECT_FALSE(session.Start(Typed({"t", "82,5", "2", "3", save.Path()})));
  EXPECT_EQ(host.events,
            std::vector<std::string>{"message: There are no street view images on this location."});
  ASSERT_FALSE(host.log.empty());
  EXPECT_EQ(host.log.back(), "Pano_id got: ");
  EXPECT_EQ(session.LogLines(), host.log);
}

TEST_F(DownloadSessionTest, TheLookupGoesThroughTheStartsProxy) {
  // The service's host exists only behind the proxy, which is the stand-in itself.
  program.WriteConfig(
      "[Service]\r\nServer0=cbk0.example.invalid\r\nProtocol=classic\r\n"
      "HomePage=http://maps.example.invalid/\r\n[Proxy]\r\nUseProxy=1\r\n"
      "ProxyServer=127.0.0.1\r\nProxyPort=" +
      std::to_string(standin->Port()) + "\r\n");
  // Stopped by the folder check, after the lookup found the panorama.
  EXPECT_FALSE(session.Start(Typed({"t", "48.8566", "2.3522", "1", ""})));
  EXPECT_EQ(host.events,
            std::vector<std::string>{"message: Please select a path to save the images."});
  ASSERT_EQ(LookUps(), 1);
  EXPECT_TRUE(standin->Requests()[0].Bytes.starts_with("GET http://cbk0.example.invalid/cbk?"))
      << standin->Requests()[0].Bytes;

  // A port that is no number: its line, and no panorama, without a request.
  program.WriteConfig(standin->ServiceConfig() +
                      "[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=80x\r\n");
  host.events.clear();
  EXPECT_FALSE(session.Start(Request("t", "1")));
  EXPECT_EQ(host.events, std::vector<std::string>{"message: " + std::string(NoPanoramaMessage)});
  EXPECT_NE(std::find(host.log.begin(), host.log.end(), "'80x' is not a valid integer value"),
            host.log.end());
  EXPECT_EQ(LookUps(), 1);
}

TEST_F(DownloadSessionTest, ATileFolderThatCannotBeMadeShowsBothBoxes) {
  WriteFileBytes(save.Path() + "blocked", "a file where the tile folder should be");
  EXPECT_FALSE(session.Start(Request("blocked", "1")));
  EXPECT_EQ(host.events, (std::vector<std::string>{
                             "message: Create directory " + save.Path() + "blocked/ Failed.",
                             "message: Error: Create task failure."}));
  EXPECT_EQ(session.Task(), nullptr);
}

TEST_F(DownloadSessionTest, AWholeTaskRunsToItsEndWithoutAnyWindow) {
  ASSERT_TRUE(session.Start(Request("paris", "2")));
  EXPECT_FALSE(session.Start(Request("again", "2"))) << "a start while running is ignored";
  RunToEnd();

  EXPECT_EQ(host.events, (std::vector<std::string>{"started: 8", "ended"}));
  EXPECT_FALSE(session.Running());
  EXPECT_EQ(LookUps(), 1);
  const TStringList saved = LoadLines(save.Path() + "paris_log.txt");
  EXPECT_EQ(saved, host.log);
  EXPECT_EQ(saved, session.LogLines());
  ASSERT_GE(saved.size(), 7u);
  EXPECT_EQ(saved[saved.size() - 5], "Task Stoped!");
  EXPECT_EQ(saved.back(), "Log file has been saved as " + save.Path() + "paris_log.txt");
  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 2; ++y) {
      EXPECT_TRUE(FileExists(save.Path() + "paris/gv_" + std::to_string(x) + "_" +
                             std::to_string(y) + "_2.jpg"));
    }
  }
  // The last progress a tick reported counts every tile.
  EXPECT_EQ(host.lastProgress.Total, 8);
  EXPECT_EQ(host.lastProgress.Done, 8);
  EXPECT_EQ(host.lastProgress.Failed, 0);
}

TEST_F(DownloadSessionTest, StopThenContinueCountsTheEarlierTilesAsDone) {
  ASSERT_TRUE(session.Start(Request("cont.krvn", "3")));
  session.Stop();
  RunToEnd();
  const TStringList log = session.LogLines();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Thread8will be terminated by user. please wait..."),
            1);

  // Pretend worker 3 finished up to k 10 and worker 4 recorded (0, 2).
  TIniFile taskFile(save.Path() + "cont.krvn");
  for (int i = 1; i <= 8; ++i) {
    taskFile.WriteInteger("THREADS", "T" + std::to_string(i) + "X", 0);
    taskFile.WriteInteger("THREADS", "T" + std::to_string(i) + "Y", 0);
  }
  taskFile.WriteInteger("THREADS", "T3X", 2);
  taskFile.WriteInteger("THREADS", "T3Y", 1);
  taskFile.WriteInteger("THREADS", "T4X", 0);
  taskFile.WriteInteger("THREADS", "T4Y", 2);

  ASSERT_TRUE(session.Start(Request("cont.krvn", "3")));
  ASSERT_TRUE(session.Task()->Params->ContinueTask);
  // Before any tile of this run: worker 3 has k 2 and 10 behind it; worker 4's pair holds a
  // zero, which counts as no position.
  EXPECT_EQ(session.Progress().Done, 2);
  EXPECT_EQ(session.Progress().Total, 28);
  RunToEnd();
  EXPECT_EQ(host.lastProgress.Done, 28);
}

TEST_F(DownloadSessionTest, AnEndSequenceErrorIsReportedWithTheEnd) {
  ASSERT_TRUE(session.Start(Request("lost", "2")));
  // Moved away in one step: the workers may be writing tiles into it at this very moment.
  const std::string moved = save.Path().substr(0, save.Path().size() - 1) + "-moved";
  std::filesystem::rename(save.Path(), moved);
  session.Stop();
  // The periodic save may fail first on its own tick (the loop's error box); the end is what
  // is checked here.
  RunToEnd();
  std::filesystem::remove_all(moved);
  EXPECT_FALSE(session.Running());
  ASSERT_FALSE(host.events.empty());
  EXPECT_EQ(host.events.back(), "ended: Cannot create file " + save.Path() + "lost_log.txt");
}

TEST_F(DownloadSessionTest, StopAndFinishEndsATaskForAHostThatGoesAway) {
  ASSERT_TRUE(session.Start(Request("leaving", "3")));
  session.StopAndFinish(true);
  EXPECT_FALSE(session.Running());
  EXPECT_EQ(host.ended, 1);
  const TStringList log = LoadLines(save.Path() + "leaving_log.txt");
  EXPECT_EQ(std::count(log.begin(), log.end(), "Thread1will be terminated by user. please wait..."),
            0)
      << "a quiet stop adds no lines";
  EXPECT_EQ(log[log.size() - 5], "Task Stoped!");
}

class StalledServiceSession : public DownloadSessionTest {
 protected:
  StalledServiceSession() : DownloadSessionTest("tile every delay 20000\n") {}
};

// Every tile request hangs for 20 s; Stop aborts them, so the task ends long before that.
TEST_F(StalledServiceSession, StopEndsTheTaskWithoutWaitingForTheStalledRequests) {
  ASSERT_TRUE(session.Start(Request("stalled", "3")));
  // Let the workers reach their first request.
  app.ProcessMessagesUntil([start = std::chrono::steady_clock::now()] {
    return std::chrono::steady_clock::now() - start > std::chrono::milliseconds(300);
  });
  const auto stopped = std::chrono::steady_clock::now();
  session.Stop();
  RunToEnd();
  // Far below the stall, and below the test clock's 10 s network time-out.
  EXPECT_LT(std::chrono::steady_clock::now() - stopped, std::chrono::seconds(5));
  const TStringList log = session.LogLines();
  for (const std::string& line : log) {
    EXPECT_EQ(line.find("->"), std::string::npos) << "no failure line for a stop: " << line;
  }
  EXPECT_TRUE(session.FailedLines().empty()) << "an interrupted tile is not a failed one";
}

class StalledLookupSession : public DownloadSessionTest {
 protected:
  StalledLookupSession() : DownloadSessionTest("metadata every stall\n") {}
};

// The lookup's request hangs; a Stop that comes through the loop Start serves meanwhile aborts
// it, and Start ends without a box, without a task and without trying the lookup again.
TEST_F(StalledLookupSession, StopDuringTheLookupEndsStartAtOnce) {
  std::chrono::steady_clock::time_point stopped;
  std::thread user([&] {
    // Bounded: a lookup that never reaches the service fails the checks below.
    for (int i = 0; i < 1000 && LookUps() == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    app.QueueCall([&] {
      EXPECT_TRUE(session.Starting());
      stopped = std::chrono::steady_clock::now();
      session.Stop();
    });
  });
  const bool started = session.Start(Request("stalled", "3"));
  const auto ended = std::chrono::steady_clock::now();
  user.join();
  EXPECT_FALSE(started);
  // Far below the test clock's 10 s network time-out, which the repeats would multiply.
  EXPECT_LT(ended - stopped, std::chrono::seconds(5));
  EXPECT_TRUE(host.events.empty()) << "a stop is no refusal";
  EXPECT_EQ(session.LogLines(),
            (TStringList{"Getting pano_id now, please wait...", "Lookup stopped by user."}));
  EXPECT_EQ(LookUps(), 1);
  EXPECT_EQ(session.Task(), nullptr);
  EXPECT_FALSE(FileExists(save.Path() + "stalled.krvn"));
}

// A task runs once at a time: a second session (another window or process) that starts it is
// refused before it writes anything, and may start it once the first run has ended.
TEST_F(StalledServiceSession, ASecondRunOfARunningTaskIsRefusedUntilTheFirstEnds) {
  ASSERT_TRUE(session.Start(Request("twice", "3")));
  const std::string taskFile = ReadFileBytes(save.Path() + "twice.krvn");
  const std::string logFile = ReadFileBytes(save.Path() + "twice_log.txt");
  RecordingHost otherHost{app};
  DownloadSession other{otherHost, app};
  TTimer otherTick{app, "other tick"};
  otherTick.OnTimer = [&other] { other.Tick(); };
  EXPECT_FALSE(other.Start(Request("twice", "3")));
  EXPECT_EQ(otherHost.events, std::vector<std::string>{"message: Task twice is already running."});
  EXPECT_EQ(ReadFileBytes(save.Path() + "twice.krvn"), taskFile);
  EXPECT_EQ(ReadFileBytes(save.Path() + "twice_log.txt"), logFile);

  session.Stop();
  RunToEnd();
  ASSERT_TRUE(other.Start(Request("twice", "3"))) << "the ended run let the task go";
  other.Stop();
  const auto deadline = std::chrono::steady_clock::now() + TaskBound;
  app.ProcessMessagesUntil(
      [&] { return otherHost.ended > 0 || std::chrono::steady_clock::now() > deadline; });
  EXPECT_EQ(otherHost.ended, 1);
}

TEST(TaskFileRequest, ContinuesAStoredTaskAsOpenTaskFillsTheBoxes) {
  TempFolder folder;
  WriteFileBytes(folder.Path() + "old.krvn",
                 "[AREA]\r\nLatitude=48,5\r\nLongitude=2.25\r\n[Zoom]\r\nZoom=4\r\n");
  const StartRequest request = RequestFromTaskFile(folder.Path() + "old.krvn");
  EXPECT_EQ(request.SavePath, folder.Path());
  EXPECT_EQ(request.TaskName, "old.krvn");
  EXPECT_EQ(request.Latitude, "48,5") << "kept as stored, as the continue test compares texts";
  EXPECT_EQ(request.Longitude, "2.25");
  EXPECT_EQ(request.Zoom, "4");
  EXPECT_EQ(RequestFromTaskFile(folder.Path() + "missing.krvn").Zoom, "18");
}

}  // namespace
}  // namespace korvane::test

namespace korvane::test {
namespace {

// A host that runs posted calls the way the program's hosts do, through the loop.
class PostingHost : public RecordingHost {
 public:
  explicit PostingHost(TApplication& app) : RecordingHost(app), app_(app) {}
  void CallSoon(std::function<void()> call) override { app_.QueueCall(std::move(call)); }

 private:
  TApplication& app_;
};

TEST(DownloadSessionCurrent, EndsAsSoonAsTheLastWorkerIsDoneWithNoTickAndNoPause) {
  RecordingClock clock{100};
  TempProgramFolder program;
  TempFolder save;
  StandinFixture standin("", 2);
  program.WriteConfig(standin.CurrentServiceConfig() + "[Download]\r\nConnections=3\r\n");
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  PostingHost host{app};
  DownloadSession session{host, app};
  StartRequest request{"cur", "48.8566", "2.3522", "2", save.Path()};
  request.Service = ReadServiceRoute();
  EXPECT_EQ(request.Service.Connections, 3);
  ASSERT_TRUE(session.Start(request));
  const int total = session.Progress().Total;
  const auto deadline = std::chrono::steady_clock::now() + TaskBound;
  app.ProcessMessagesUntil(
      [&] { return host.ended > 0 || std::chrono::steady_clock::now() > deadline; });
  ASSERT_EQ(host.ended, 1) << "no clock ticks here: only the last worker's end can end it";
  EXPECT_FALSE(session.Running());
  EXPECT_EQ(session.Progress().Done, total);
  EXPECT_EQ(host.lastProgress.Done, total);
  EXPECT_EQ(clock.PausesMs(), std::vector<long long>{}) << "no pause after a saved tile";
  // The tile files are the record: no worker positions in the task file.
  EXPECT_EQ(ReadFileBytes(save.Path() + "cur.krvn").find("[THREADS]"), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
