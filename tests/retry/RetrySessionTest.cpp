#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "retry/RetrySession.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"

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

  std::string Tile(const std::string& name) const { return folder.Path() + name; }
  std::string List(const TStringList& lines) const {
    const std::string path = folder.Path() + "list.ftl";
    SaveLines(path, lines);
    return path;
  }
};

TEST_F(RetrySessionTest, ARunReportsItsLinesAndItsFetchingToTheHost) {
  server.SetDefaultScript(ConnectionScript().Respond([](const std::string& request) {
    return request.starts_with("GET /a ") ? Reply("200 OK", "one") : Reply("404 Not Found");
  }));
  const std::string a = server.Url("/a");
  const std::string b = server.Url("/b");
  EXPECT_EQ(session.Run(List({Tile("a.jpg") + "|" + a, Tile("b.jpg") + "|" + b})),
            RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines,
            (TStringList{"Start...", Tile("a.jpg") + ":" + a + " ->OK", "404 Not Found->" + b,
                         b + ":Error: the image is not found on server.", "Download End."}));
  EXPECT_EQ(host.fetching, (std::vector<bool>{true, false}));
  EXPECT_EQ(ReadFileBytes(Tile("a.jpg")), "one");
}

TEST_F(RetrySessionTest, TheConfiguredProxyCarriesEveryRequest) {
  // The tile host exists only behind the proxy, which is the scripted server.
  program.WriteConfig("[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=" +
                      std::to_string(server.Port()) +
                      "\r\nProxyUsername=user\r\nProxyPassword=pw\r\n");
  server.SetDefaultScript(
      ConnectionScript().Respond([](const std::string&) { return Reply("200 OK", "proxied"); }));
  const std::string address = "http://cbk0.example.invalid/cbk?output=tile&x=1";
  EXPECT_EQ(session.Run(List({Tile("a.jpg") + "|" + address})), RetryRunOutcome::Ended);
  EXPECT_EQ(host.lines,
            (TStringList{"Start...", Tile("a.jpg") + ":" + address + " ->OK", "Download End."}));
  EXPECT_EQ(ReadFileBytes(Tile("a.jpg")), "proxied");
  server.Stop();
  const std::string request = server.Received(0);
  EXPECT_TRUE(request.starts_with("GET " + address + " HTTP/1.1\r\n")) << request;
  EXPECT_NE(request.find("Proxy-Authorization: Basic dXNlcjpwdw==\r\n"), std::string::npos)
      << request;
}

TEST_F(RetrySessionTest, AProxyPortThatIsNoNumberEndsTheRunBeforeAnyRequest) {
  program.WriteConfig("[Proxy]\r\nUseProxy=1\r\nProxyServer=127.0.0.1\r\nProxyPort=80x\r\n");
  EXPECT_EQ(session.Run(List({Tile("a.jpg") + "|" + server.Url("/a")})), RetryRunOutcome::Ended);
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
  const std::string t = server.Url("/t");
  EXPECT_EQ(session.Run(List({Tile("1.jpg") + "|" + t, Tile("2.jpg") + "|" + t})),
            RetryRunOutcome::Ended);
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
  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", "x")));
  EXPECT_EQ(session.Run(List({Tile("c.jpg") + "|" + server.Url("/c")})), RetryRunOutcome::Ended);
  EXPECT_EQ(server.AcceptedCount(), 1);
  EXPECT_FALSE(FileExists(Tile("c.jpg")));
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST_F(RetrySessionTest, AStopEndsTheRunWhetherItComesBeforeOrDuringARequest) {
  host.onFetching = [this] { session.Stop(); };
  EXPECT_EQ(session.Run(List({Tile("s.jpg") + "|" + server.Url("/s")})), RetryRunOutcome::Stopped);
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
  EXPECT_EQ(session.Run(List({Tile("h.jpg") + "|" + server.Url("/h")})), RetryRunOutcome::Stopped);
  user.join();
  EXPECT_EQ(host.lines, (TStringList{"Start...", "Download stopped by user."}));
  EXPECT_FALSE(FileExists(Tile("h.jpg")));
  session.Stop();  // no run: nothing happens
}

TEST_F(RetrySessionTest, FileErrorsRaiseAndTheHostHearsTheFetchingEnd) {
  EXPECT_THROW(session.Run(folder.Path() + "missing.ftl"), FileOpenError);
  EXPECT_TRUE(host.lines.empty());

  server.SetDefaultScript(ConnectionScript().Reply(Reply("200 OK", "x")));
  EXPECT_THROW(session.Run(List({Tile("gone/x.jpg") + "|" + server.Url("/x")})), FileCreateError);
  EXPECT_EQ(host.lines, TStringList{"Start..."});
  EXPECT_EQ(host.fetching, (std::vector<bool>{true, false}));
}

}  // namespace
}  // namespace korvane::test
