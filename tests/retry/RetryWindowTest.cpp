#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "dialogs/LayoutCheck.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "retry/window/RetryWindow.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"
#include "ui/TScriptedDialogs.h"

namespace korvane::test {
namespace {

constexpr const char* BanLine = "Error: may be your IP is banned.\nPlease try again later.";

std::string Reply(const std::string& statusLine, const std::string& body = "") {
  return "HTTP/1.1 " + statusLine + "\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\n\r\n" + body;
}

// The request target of "GET /target HTTP/1.1 ...".
std::string TargetOf(const std::string& request) {
  size_t start = request.find(' ') + 1;
  return request.substr(start, request.find(' ', start) - start);
}

class RedownloadWindow : public ::testing::Test {
 protected:
  RecordingClock clock{1};  // real time-outs; records any pause the run would make
  TempProgramFolder program;
  TempFolder lists;
  TempFolder tiles;
  ScriptedServer server;
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  TForm main{app, "mainWindow"};
  RetryWindow flt{app};
  std::vector<std::string> handedOut;  // what OnLine saw

  void SetUp() override {
    flt.OnLine = [this](const std::string& line) { handedOut.push_back(line); };
  }

  // Every connection beyond the scripted ones answers by target: a reply of the table, or
  // 200 with the target as body.
  void Serve(std::map<std::string, std::string> replies = {}) {
    server.SetDefaultScript(ConnectionScript().Respond([replies](const std::string& request) {
      const std::string target = TargetOf(request);
      auto found = replies.find(target);
      return found != replies.end() ? found->second : Reply("200 OK", "tile " + target);
    }));
  }

  std::string Url(const std::string& target) const { return server.Url(target); }
  std::string Tile(const std::string& name) const { return tiles.Path() + name; }
  std::string Line(const std::string& name, const std::string& target) const {
    return Tile(name) + "|" + Url(target);
  }

  std::string WriteList(const std::string& name, const TStringList& lines) const {
    std::string path = lists.Path() + name;
    SaveLines(path, lines);
    return path;
  }

  // The user opens the window, presses the button and picks the list.
  void Run(const std::string& listPath) {
    dialogs.QueuePick(listPath);
    if (!flt.Visible()) flt.ShowModal();
    EXPECT_TRUE(flt.openListButton.UserClick());
  }

  TStringList Memo() const { return flt.linesMemo.Lines.Strings(); }

  int RequestsFor(const std::string& target) const {
    int count = 0;
    for (const std::string& bytes : server.AllReceived()) {
      for (size_t at = bytes.find("GET " + target + " "); at != std::string::npos;
           at = bytes.find("GET " + target + " ", at + 1)) {
        ++count;
      }
    }
    return count;
  }
};

TEST_F(RedownloadWindow, IsADialogWithTheButtonAboveTheLog) {
  EXPECT_EQ(flt.Caption(), "Re-Download failed files");
  EXPECT_EQ(flt.ClientWidth(), 703);
  EXPECT_EQ(flt.ClientHeight(), 453);
  EXPECT_EQ(flt.Position(), poScreenCenter);
  EXPECT_EQ(flt.buttonPanel.Height(), 57);
  EXPECT_EQ(flt.openListButton.Caption(), "Open *.ftl file and download...");
  EXPECT_EQ(flt.linesPanel.Top(), 57);
  EXPECT_EQ(flt.linesPanel.Height(), 453 - 57);
  EXPECT_EQ(flt.linesMemo.BoundsRect(), flt.linesPanel.ClientRect());
  EXPECT_TRUE(flt.linesMemo.ReadOnly());
  EXPECT_EQ(LayoutFaults(flt), "");
}

TEST_F(RedownloadWindow, AnEmptyListGivesOneLineAndNoRequest) {
  Serve();
  Run(WriteList("empty.ftl", {}));
  EXPECT_EQ(Memo(), TStringList{"No failed files records."});
  EXPECT_EQ(handedOut, Memo());
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::NoRecords);
  EXPECT_EQ(server.AcceptedCount(), 0);
}

TEST_F(RedownloadWindow, ANotFoundTileIsReportedAndTheOthersAreStoredAtTheirRecordedPaths) {
  // A proxy that is set up but not switched on is not used.
  program.WriteConfig("[Proxy]\r\nUseProxy=0\r\nProxyServer=127.0.0.1\r\nProxyPort=1\r\n");
  Serve({{"/b", Reply("404 Not Found")}});
  const TStringList list{Line("gv_0_0_3.jpg", "/a"), Line("gv_1_0_3.jpg", "/b"),
                         Line("gv_2_0_3.jpg", "/c")};
  const std::string listPath = WriteList("task_failed.ftl", list);
  Run(listPath);

  const TStringList expected{"Start...",
                             Tile("gv_0_0_3.jpg") + ":" + Url("/a") + " ->OK",
                             "404 Not Found->" + Url("/b"),
                             Url("/b") + ":Error: the image is not found on server.",
                             Tile("gv_2_0_3.jpg") + ":" + Url("/c") + " ->OK",
                             "Download End."};
  EXPECT_EQ(Memo(), expected);
  EXPECT_EQ(handedOut, expected);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Ended);
  EXPECT_EQ(ReadFileBytes(Tile("gv_0_0_3.jpg")), "tile /a");
  EXPECT_EQ(ReadFileBytes(Tile("gv_2_0_3.jpg")), "tile /c");
  EXPECT_FALSE(FileExists(Tile("gv_1_0_3.jpg")));

  std::vector<TDialogEvent> events = dialogs.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Request.Title, "Open ftl file:");
  EXPECT_EQ(events[0].Request.Filter, "Projects(*.ftl)|*.ftl");
  EXPECT_EQ(events[0].Request.FilterIndex, 1);
  const std::string request = server.Received(0);
  EXPECT_NE(request.find("Referer: " + MapHomePageUrl() + "\r\n"), std::string::npos) << request;
  EXPECT_NE(request.find("Connection: Keep_Alive\r\n"), std::string::npos) << request;
  EXPECT_EQ(request.find("Cookie:"), std::string::npos) << request;
  EXPECT_EQ(request.find("Proxy-"), std::string::npos) << request;

  // The same list again fetches the same tiles again; the list keeps all its lines, and the
  // log shows only the new run.
  Run(listPath);
  EXPECT_EQ(Memo(), expected);
  EXPECT_EQ(RequestsFor("/a"), 2);
  EXPECT_EQ(RequestsFor("/b"), 2);
  EXPECT_EQ(LoadLines(listPath), list);

  flt.Hide();
  flt.ShowModal();
  EXPECT_TRUE(flt.linesMemo.Lines.Empty());
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST_F(RedownloadWindow, ABusyServiceWhoseReasonNamesAnotherStatus_EndsNothing) {
  Serve({{"/t1", Reply("503 Try again in 403 seconds")}});
  Run(WriteList("two.ftl", {Line("1.jpg", "/t1"), Line("2.jpg", "/t2")}));
  EXPECT_EQ(Memo(), (TStringList{"Start...", "503 Try again in 403 seconds->" + Url("/t1"),
                                 Tile("2.jpg") + ":" + Url("/t2") + " ->OK", "Download End."}));
}

TEST_F(RedownloadWindow, ADamagedListGetsALinePerBadEntryAndTheGoodOnesStored) {
  Serve();
  std::string noise;
  for (int i = 0; i < 2048; ++i)
    noise += static_cast<char>((i * 131 + 7) % 256);
  const std::string list = Line("1.jpg", "/a") + "\r" + noise + "\r" + Tile("x.jpg") + "|" +
                           std::string(10 * 1024 * 1024, 'h') + "\r" + Tile("y.jpg") + "|" +
                           Url("/n") + std::string(1, '\0') + "\r" + Line("2.jpg", "/b") + "\r";
  const std::string listPath = lists.Path() + "damaged.ftl";
  WriteFileBytes(listPath, list);
  Run(listPath);
  const TStringList memo = Memo();
  ASSERT_GE(memo.size(), 4u);
  EXPECT_EQ(memo[1], Tile("1.jpg") + ":" + Url("/a") + " ->OK");
  EXPECT_EQ(memo[memo.size() - 2], Tile("2.jpg") + ":" + Url("/b") + " ->OK");
  EXPECT_EQ(memo.back(), "Download End.");
  EXPECT_EQ(ReadFileBytes(Tile("2.jpg")), "tile /b");
  EXPECT_FALSE(FileExists(Tile("x.jpg")));
  EXPECT_FALSE(FileExists(Tile("y.jpg"))) << "an address with a NUL in it is never requested";
  EXPECT_EQ(ReadFileBytes(listPath), list) << "the list itself is never written";
}

TEST_F(RedownloadWindow, ABanEndsTheRunWithoutRequestingTheRest) {
  Serve({{"/t1", Reply("403 Forbidden")},
         {"/m2", "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n"}});
  Run(WriteList("five.ftl", {Line("1.jpg", "/t1"), Line("2.jpg", "/t2"), Line("3.jpg", "/t3"),
                             Line("4.jpg", "/t4"), Line("5.jpg", "/t5")}));
  EXPECT_EQ(Memo(),
            (TStringList{"Start...", "403 Forbidden->" + Url("/t1"), BanLine, "Download End."}));
  EXPECT_EQ(server.AllReceived().size(), 1u);
  EXPECT_EQ(RequestsFor("/t1"), 1);
  EXPECT_EQ(RequestsFor("/t2"), 0);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Ended);

  Run(WriteList("three.ftl", {Line("1.jpg", "/m1"), Line("2.jpg", "/m2"), Line("3.jpg", "/m3")}));
  EXPECT_EQ(Memo(), (TStringList{"Start...", Tile("1.jpg") + ":" + Url("/m1") + " ->OK",
                                 "302 Found->" + Url("/m2"), BanLine, "Download End."}));
  EXPECT_EQ(RequestsFor("/m3"), 0);
}

TEST_F(RedownloadWindow, ResetsAreRepeatedAtMostThirtyTimesThenCountAsAFailure) {
  for (int i = 0; i <= MaxResetRepeats; ++i) {
    server.AddConnection(ConnectionScript().AwaitRequest().Reset());
  }
  Serve();
  Run(WriteList("resets.ftl", {Line("r.jpg", "/r"), Line("ok.jpg", "/ok")}));

  EXPECT_EQ(RequestsFor("/r"), MaxResetRepeats + 1);
  EXPECT_EQ(Memo(), (TStringList{"Start...",
                                 "Socket Error # 10054\r\nConnection reset by peer.->" + Url("/r"),
                                 Tile("ok.jpg") + ":" + Url("/ok") + " ->OK", "Download End."}));
  EXPECT_FALSE(FileExists(Tile("r.jpg")));
  EXPECT_TRUE(clock.PausesMs().empty());  // repeats follow at once
}

TEST_F(RedownloadWindow, AfterAResetTheFileHoldsOnlyTheRepeatsCompleteAnswer) {
  server.AddConnection(ConnectionScript()
                           .AwaitRequest()
                           .Send("HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nhel")
                           .Reset());
  Serve({{"/t", Reply("200 OK", "helloworld")}});
  Run(WriteList("one.ftl", {Line("t.jpg", "/t")}));
  EXPECT_EQ(RequestsFor("/t"), 2);
  EXPECT_EQ(ReadFileBytes(Tile("t.jpg")), "helloworld");
  EXPECT_EQ(Memo().back(), "Download End.");
}

TEST_F(RedownloadWindow, ATileThatCannotBeWrittenEndsTheRunWithTheFileError) {
  Serve();
  const std::string unwritable = tiles.Path() + "gone/x.jpg";
  Run(WriteList("bad.ftl", {unwritable + "|" + Url("/x"), Line("y.jpg", "/y")}));
  EXPECT_EQ(dialogs.Errors(), TStringList{"Cannot create file " + unwritable});
  EXPECT_EQ(Memo(), TStringList{"Start..."});
  EXPECT_EQ(RequestsFor("/y"), 0);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Failed);
  EXPECT_FALSE(flt.Running());

  // A line without "|" names no file at all; the button works again after the error.
  dialogs.ClearEvents();
  Run(WriteList("nofile.ftl", {Url("/z")}));
  EXPECT_EQ(dialogs.Errors(), TStringList{"Cannot create file "});
  EXPECT_EQ(Memo(), TStringList{"Start..."});
  EXPECT_EQ(RequestsFor("/z"), 1);
}

TEST_F(RedownloadWindow, AListThatCannotBeReadFetchesNothing) {
  Serve();
  dialogs.QueueCancel();
  flt.ShowModal();
  flt.openListButton.UserClick();
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Cancelled);

  const std::string missing = lists.Path() + "typed-name.ftl";
  Run(missing);
  EXPECT_EQ(dialogs.Errors(), TStringList{"Cannot open file " + missing});
  EXPECT_TRUE(Memo().empty());
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Failed);
  EXPECT_EQ(server.AcceptedCount(), 0);
}

// The run fetches on a thread of its own, so the window keeps serving its messages; the
// button, a Stop button while the run fetches, ends it at once even with a request hanging,
// without fetching the rest and without starting a second run.
TEST_F(RedownloadWindow, AClickDuringARunStopsItAtOnceEvenWithARequestHanging) {
  server.AddConnection(ConnectionScript().AwaitRequest().Stall());
  Serve();
  const std::string listPath = WriteList("two.ftl", {Line("a.jpg", "/a"), Line("b.jpg", "/b")});
  dialogs.QueuePick(listPath);  // what a second run would be given
  std::string captionDuringRun;
  std::thread user([&] {
    // Bounded: a run that never sends its first request fails the checks below.
    for (int i = 0; i < 1000 && server.Received(0).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    app.QueueCall([&] {
      captionDuringRun = flt.openListButton.Caption();
      flt.openListButton.UserClick();
    });
  });
  Run(listPath);
  user.join();
  EXPECT_EQ(captionDuringRun, "Stop");
  EXPECT_EQ(Memo(), (TStringList{"Start...", "Download stopped by user."}));
  EXPECT_EQ(handedOut, Memo());
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Stopped);
  EXPECT_EQ(dialogs.PendingAnswers(), 1) << "no second run";
  EXPECT_EQ(RequestsFor("/b"), 0);
  EXPECT_FALSE(FileExists(Tile("a.jpg")));
  EXPECT_EQ(flt.openListButton.Caption(), "Open *.ftl file and download...");
  EXPECT_FALSE(flt.Running());
}

}  // namespace
}  // namespace korvane::test
