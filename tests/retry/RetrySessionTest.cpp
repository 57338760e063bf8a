#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "download/TestJpeg.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextFile.h"
#include "retry/RetrySession.h"
#include "support/ListedTask.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"
#include "task/TileGeometry.h"

namespace korvane::test {
namespace {

std::string Reply(const std::string& statusLine, const std::string& body = "") {
  return "HTTP/1.1 " + statusLine + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

// A host with a main loop of its own and no window: the fetching thread's calls queue here and
// run while the session serves the loop; other threads may post calls too.
class LoopHost final : public RetryHost, public TSynchronizer {
 public:
  std::vector<std::string> lines;
  std::vector<bool> fetching;
  std::function<void()> onFetching;  // runs when fetching begins

  void Post(std::function<void()> call) {
    std::lock_guard<std::mutex> lock(mutex_);
    calls_.push_back(std::move(call));
    posted_.notify_all();
  }

  void Synchronize(const std::function<void()>& operation) override {
    if (std::this_thread::get_id() == main_) return operation();
    std::promise<void> ran;
    Post([&] {
      operation();
      ran.set_value();
    });
    ran.get_future().wait();
  }

  void LineAdded(const std::string& line) override { lines.push_back(line); }
  void ServeUntil(const std::function<bool()>& done) override {
    while (!done()) {
      std::unique_lock<std::mutex> lock(mutex_);
      posted_.wait(lock, [this] { return !calls_.empty(); });
      std::function<void()> call = std::move(calls_.front());
      calls_.pop_front();
      lock.unlock();
      call();
    }
  }
  void FetchingChanged(bool now) override {
    fetching.push_back(now);
    if (now && onFetching) onFetching();
  }

 private:
  const std::thread::id main_ = std::this_thread::get_id();
  std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<std::function<void()>> calls_;
};

class RetrySessionTest : public ::testing::Test {
 protected:
  RecordingClock clock{1};
  TempProgramFolder program;
  TempFolder folder;
  ScriptedServer server;
  LoopHost host;
  RetrySession session{host, host};
  ListedTask task{folder.Path(), "t", "http://" + server.HostPort()};
  const std::string tile = MakeJpeg(TilePixels, TilePixels);

  void SetUp() override { program.WriteConfig(task.ConfigLines()); }

  std::string List(const TStringList& lines) const { return task.WriteList(lines); }
};

TEST_F(RetrySessionTest, ARunReportsItsLinesAndItsFetchingToTheHost) {
  const std::string a = task.Url(0, 0);
  const std::string b = task.Url(1, 0);
  server.SetDefaultScript(ConnectionScript().Respond([this](const std::string& request) {
    return request.starts_with("GET " + task.Target(0, 0) + " ") ? Reply("200 OK", tile)
                                                                 : Reply("404 Not Found");
  }));
  EXPECT_EQ(session.Run(List({task.Line(0, 0), task.Line(1, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines,
            (TStringList{"Start...", task.TilePath(0, 0) + ":" + a + " ->OK", "404 Not Found->" + b,
                         b + ":Error: the image is not found on server.", "Download End."}));
  EXPECT_EQ(host.fetching, (std::vector<bool>{true, false}));
  EXPECT_EQ(ReadFileBytes(task.TilePath(0, 0)), tile);
}

TEST_F(RetrySessionTest, TheConfiguredProxyCarriesEveryRequest) {
  // The tile host exists only behind the proxy, which is the scripted server.
  const ListedTask hidden{folder.Path(), "p", "http://cbk0.example.invalid"};
  program.WriteConfig(
      hidden.ConfigLines() + "[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=" +
      std::to_string(server.Port()) + "\r\nProxyUsername=user\r\nProxyPassword=pw\r\n");
  server.SetDefaultScript(
      ConnectionScript().Respond([this](const std::string&) { return Reply("200 OK", tile); }));
  const std::string address = hidden.Url(1, 0);
  EXPECT_EQ(session.Run(hidden.WriteList({hidden.Line(1, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines, (TStringList{"Start...", hidden.TilePath(1, 0) + ":" + address + " ->OK",
                                     "Download End."}));
  EXPECT_EQ(ReadFileBytes(hidden.TilePath(1, 0)), tile);
  server.Stop();
  const std::string request = server.Received(0);
  EXPECT_TRUE(request.starts_with("GET " + address + " HTTP/1.1\r\n")) << request;
  EXPECT_NE(request.find("Proxy-Authorization: Basic dXNlcjpwdw==\r\n"), std::string::npos)
      << request;
}

TEST_F(RetrySessionTest, AProxyPortThatIsNoNumberEndsTheRunBeforeAnyRequest) {
  program.WriteConfig(task.ConfigLines() +
                      "[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=80x\r\n");
  EXPECT_EQ(session.Run(List({task.Line(0, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines,
            (TStringList{"Start...", "'80x' is not a valid integer value", "Download End."}));
  EXPECT_EQ(server.AcceptedCount(), 0);
}

TEST_F(RetrySessionTest, AnEmptyListNeverFetches) {
  EXPECT_EQ(session.Run(List({})), RetryRunOutcome::NoRecords);
  EXPECT_EQ(host.lines, TStringList{"No failed files records."});
  EXPECT_TRUE(host.fetching.empty());
  EXPECT_EQ(server.AcceptedCount(), 0);
}

// The counter is shared: a refusal after a reset is final at once and ends the run.
TEST_F(RetrySessionTest, ARefusalAfterAResetEndsTheRun) {
  server.AddConnection(ConnectionScript().AwaitRequest().Reset());
  server.AddConnection(ConnectionScript().Reply(Reply("403 Forbidden")));
  const std::string t = task.Url(0, 0);
  EXPECT_EQ(session.Run(List({task.Line(0, 0), task.Line(1, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines, (TStringList{"Start...", "403 Forbidden->" + t,
                                     "Error: may be your IP is banned.\nPlease try again later.",
                                     "Download End."}));
  EXPECT_EQ(server.AcceptedCount(), 2);
}

// Unlike a reset, a connection closed before its reply ended is not repeated.
TEST_F(RetrySessionTest, AConnectionClosedEarlyIsFinalAtOnce) {
  server.AddConnection(ConnectionScript()
                           .AwaitRequest()
                           .Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhel")
                           .Close());
  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", tile)));
  EXPECT_EQ(session.Run(List({task.Line(2, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(server.AcceptedCount(), 1);
  EXPECT_FALSE(FileExists(task.TilePath(2, 0)));
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST_F(RetrySessionTest, AStopEndsTheRunWhetherItComesBeforeOrDuringARequest) {
  host.onFetching = [this] { session.Stop(); };
  EXPECT_EQ(session.Run(List({task.Line(0, 1)})), RetryRunOutcome::Stopped);
  EXPECT_EQ(host.lines, (TStringList{"Start...", "Download stopped by user."}));
  EXPECT_EQ(server.AcceptedCount(), 0);

  host.lines.clear();
  host.onFetching = nullptr;
  server.AddConnection(ConnectionScript().AwaitRequest().Stall());
  std::thread user([this] {
    for (int i = 0; i < 1000 && server.Received(0).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    host.Post([this] { session.Stop(); });
  });
  EXPECT_EQ(session.Run(List({task.Line(1, 1)})), RetryRunOutcome::Stopped);
  user.join();
  EXPECT_EQ(host.lines, (TStringList{"Start...", "Download stopped by user."}));
  EXPECT_FALSE(FileExists(task.TilePath(1, 1)));
  session.Stop();  // no run: nothing happens
}

TEST_F(RetrySessionTest, FileErrorsRaiseAndTheHostHearsTheFetchingEnd) {
  EXPECT_THROW(session.Run(folder.Path() + "missing.ftl"), FileOpenError);
  EXPECT_TRUE(host.lines.empty());

  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", tile)));
  ASSERT_TRUE(CreateDir(task.TilePath(0, 0)));  // a folder where the tile goes: no file fits
  EXPECT_THROW(session.Run(List({task.Line(0, 0)})), FileCreateError);
  EXPECT_EQ(host.lines, TStringList{"Start..."});
  EXPECT_EQ(host.fetching, (std::vector<bool>{true, false}));
}

// A failed list travels with its task folder, so its lines are not trusted: only a tile of the
// list's own task, at the address the task asks for it, is fetched and written.
TEST_F(RetrySessionTest, ALineThatIsNoTileOfTheListsTaskIsSkippedWithItsNumber) {
  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", tile)));
  const std::string outside = folder.Path() + "victim.txt";
  const std::string tiles = ExtractFilePath(task.TilePath(0, 0));
  const std::string zoom2 = tiles + "gv_0_0_2.jpg";
  const std::string beyond = tiles + "gv_4_0_3.jpg";
  const std::string escaped = tiles + "../gv_0_0_3.jpg";
  const TStringList hostile{
      outside + "|" + task.Url(0, 0),                      // not a tile file
      escaped + "|" + task.Url(0, 0),                      // a tile name outside the folder
      zoom2 + "|" + task.Url(0, 0),                        // another zoom level
      beyond + "|" + task.Url(4, 0),                       // outside the grid
      task.TilePath(0, 0) + "|" + server.Url("/payload"),  // another address
      task.TilePath(0, 0) + "|" + task.Url(1, 0),          // another tile's address
      task.TilePath(0, 0) + "|http://127.0.0.2" + task.Target(0, 0),  // another host
      task.Url(0, 0),                                                 // no file at all
      "",
  };
  TStringList list = hostile;
  list.push_back(task.Line(1, 0));
  EXPECT_EQ(session.Run(List(list)), RetryRunOutcome::Ended);

  TStringList expected{"Start..."};
  for (std::size_t i = 1; i <= hostile.size(); ++i)
    expected.push_back("Line " + std::to_string(i) + " skipped: not a tile of this list's task.");
  expected.push_back(task.TilePath(1, 0) + ":" + task.Url(1, 0) + " ->OK");
  expected.push_back("Download End.");
  EXPECT_EQ(host.lines, expected);
  EXPECT_EQ(server.AcceptedCount(), 1);
  for (const std::string& path : {outside, escaped, zoom2, beyond, task.TilePath(0, 0)})
    EXPECT_FALSE(FileExists(path)) << path;
}

// The tile folder is compared as a folder, not as text: the same folder written another way is
// the task's, and the tile goes to the task's own file.
TEST_F(RetrySessionTest, TheTaskFolderWrittenAnotherWayIsStillTheTasks) {
  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", tile)));
  const std::string sameFolder = folder.Path() + "./t/../t//gv_2_1_3.jpg";
  EXPECT_EQ(session.Run(List({sameFolder + "|" + task.Url(2, 1)})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines, (TStringList{"Start...", sameFolder + ":" + task.Url(2, 1) + " ->OK",
                                     "Download End."}));
  EXPECT_EQ(ReadFileBytes(task.TilePath(2, 1)), tile);
}

TEST_F(RetrySessionTest, AListWithoutItsTaskAcceptsNoLine) {
  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", tile)));
  const std::string renamed = folder.Path() + "copy.ftl";  // no "<task>_failed.ftl"
  SaveLines(renamed, {task.Line(0, 0)});
  EXPECT_EQ(session.Run(renamed), RetryRunOutcome::Ended);

  ASSERT_TRUE(DeleteFile(task.TaskFile()));  // the list's name, but no task beside it
  EXPECT_EQ(session.Run(List({task.Line(0, 0)})), RetryRunOutcome::Ended);

  const TStringList skipped{"Start...", "Line 1 skipped: not a tile of this list's task.",
                            "Download End."};
  TStringList twice = skipped;
  twice.insert(twice.end(), skipped.begin(), skipped.end());
  EXPECT_EQ(host.lines, twice);
  EXPECT_EQ(server.AcceptedCount(), 0);
  EXPECT_FALSE(FileExists(task.TilePath(0, 0)));
}

// The download's check: an answer that is no whole tile of the task's size is not written.
TEST_F(RetrySessionTest, AnAnswerThatIsNoWholeTileIsReportedAndNotWritten) {
  const std::vector<std::string> answers{"<html>payload</html>", MakeJpeg(256, 256),
                                         TruncatedJpeg(tile, 100)};
  for (const std::string& answer : answers) {
    host.lines.clear();
    server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", answer)));
    EXPECT_EQ(session.Run(List({task.Line(3, 1)})), RetryRunOutcome::Ended);
    EXPECT_EQ(host.lines, (TStringList{"Start...", task.Url(3, 1) + ":Error: the image is invalid.",
                                       "Download End."}));
    EXPECT_FALSE(FileExists(task.TilePath(3, 1)));
  }
}

// A server's reason reaches the lines (and korvane-cli's output) without its control
// characters: no escape sequence, bell or carriage return of the server's gets to a terminal.
TEST_F(RetrySessionTest, AServersReasonReachesTheLinesPrintable) {
  server.SetDefaultScript(
      ConnectionScript().Reply(Reply("400 Bad\x1b]0;owned\x07 Request\x1b[2J\rDownload End.")));
  EXPECT_EQ(session.Run(List({task.Line(0, 0)})), RetryRunOutcome::Ended);
  EXPECT_EQ(
      host.lines,
      (TStringList{"Start...", "400 Bad?]0;owned? Request?[2J?Download End.->" + task.Url(0, 0),
                   "Download End."}));
}

}  // namespace
}  // namespace korvane::test
