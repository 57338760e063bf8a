#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <thread>

#include "dialogs/LayoutCheck.h"
#include "download/TestJpeg.h"
#include "net/ServiceAddresses.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "retry/window/RetryWindow.h"
#include "support/ListedTask.h"
#include "support/RecordingClock.h"
#include "support/ScriptedServer.h"
#include "support/TempFolder.h"
#include "task/TileGeometry.h"
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
  TempFolder tiles;
  ScriptedServer server;
  TScriptedDialogs dialogs;
  TApplication app{dialogs};
  TForm main{app, "mainWindow"};
  RetryWindow flt{app};
  // The lists are a task's: tile n is column n mod 4, row n / 4 of its 4 x 2 grid.
  ListedTask task{tiles.Path(), "task", "http://" + server.HostPort()};
  const std::string tile = MakeJpeg(TilePixels, TilePixels);

  void SetUp() override { program.WriteConfig(task.ConfigLines()); }

  // Every connection beyond the scripted ones answers by target: a reply of the table, or
  // 200 with a whole tile.
  void Serve(std::map<std::string, std::string> replies = {}) {
    server.SetDefaultScript(ConnectionScript().Respond([replies, this](const std::string& request) {
      auto found = replies.find(TargetOf(request));
      return found != replies.end() ? found->second : Reply("200 OK", tile);
    }));
  }

  static int X(int n) { return n % ListedTask::Columns; }
  static int Y(int n) { return n / ListedTask::Columns; }
  std::string Target(int n) const { return task.Target(X(n), Y(n)); }
  std::string Url(int n) const { return task.Url(X(n), Y(n)); }
  std::string Tile(int n) const { return task.TilePath(X(n), Y(n)); }
  std::string Line(int n) const { return task.Line(X(n), Y(n)); }
  std::string WriteList(const TStringList& lines) const { return task.WriteList(lines); }

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
  Run(WriteList({}));
  EXPECT_EQ(Memo(), TStringList{"No failed files records."});
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::NoRecords);
  EXPECT_EQ(server.AcceptedCount(), 0);
}

TEST_F(RedownloadWindow, ANotFoundTileIsReportedAndTheOthersAreStoredAtTheirRecordedPaths) {
  // A proxy that is set up but not switched on is not used.
  program.WriteConfig(task.ConfigLines() +
                      "[Proxy]\r\nUseProxy=0\r\nProxyServer=127.0.0.1\r\nProxyPort=1\r\n");
  Serve({{Target(1), Reply("404 Not Found")}});
  const TStringList list{Line(0), Line(1), Line(2)};
  const std::string listPath = WriteList(list);
  Run(listPath);

  const TStringList expected{"Start...",
                             Tile(0) + ":" + Url(0) + " ->OK",
                             "404 Not Found->" + Url(1),
                             Url(1) + ":Error: the image is not found on server.",
                             Tile(2) + ":" + Url(2) + " ->OK",
                             "Download End."};
  EXPECT_EQ(Memo(), expected);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Ended);
  EXPECT_EQ(ReadFileBytes(Tile(0)), tile);
  EXPECT_EQ(ReadFileBytes(Tile(2)), tile);
  EXPECT_FALSE(FileExists(Tile(1)));

  std::vector<TDialogEvent> events = dialogs.Events();
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].Request.Title, "Open ftl file:");
  EXPECT_EQ(events[0].Request.Filter, "Projects(*.ftl)|*.ftl");
  EXPECT_EQ(events[0].Request.FilterIndex, 1);
  const std::string request = server.Received(0);
  // A task of today's service: its tiles are asked for as that service's tiles are.
  EXPECT_EQ(request.find("Referer:"), std::string::npos) << request;
  EXPECT_NE(request.find("Connection: keep-alive\r\n"), std::string::npos) << request;
  EXPECT_EQ(request.find("Cookie:"), std::string::npos) << request;
  EXPECT_EQ(request.find("Proxy-"), std::string::npos) << request;

  // The same list again fetches the same tiles again; the list keeps all its lines, and the
  // log shows only the new run.
  Run(listPath);
  EXPECT_EQ(Memo(), expected);
  EXPECT_EQ(RequestsFor(Target(0)), 2);
  EXPECT_EQ(RequestsFor(Target(1)), 2);
  EXPECT_EQ(LoadLines(listPath), list);

  flt.Hide();
  flt.ShowModal();
  EXPECT_TRUE(flt.linesMemo.Lines.Empty());
  EXPECT_TRUE(clock.PausesMs().empty());
}

TEST_F(RedownloadWindow, ABusyServiceWhoseReasonNamesAnotherStatus_EndsNothing) {
  Serve({{Target(1), Reply("503 Try again in 403 seconds")}});
  Run(WriteList({Line(1), Line(2)}));
  EXPECT_EQ(Memo(), (TStringList{"Start...", "503 Try again in 403 seconds->" + Url(1),
                                 Tile(2) + ":" + Url(2) + " ->OK", "Download End."}));
}

TEST_F(RedownloadWindow, ADamagedListGetsALinePerBadEntryAndTheGoodOnesStored) {
  Serve();
  std::string noise;
  for (int i = 0; i < 2048; ++i)
    noise += static_cast<char>((i * 131 + 7) % 256);
  const std::string list = Line(1) + "\r" + noise + "\r" + Tile(3) + "|" +
                           std::string(10 * 1024 * 1024, 'h') + "\r" + Tile(4) + "|" + Url(4) +
                           std::string(1, '\0') + "\r" + Line(2) + "\r";
  const std::string listPath = task.ListPath();
  WriteFileBytes(listPath, list);
  Run(listPath);
  const TStringList memo = Memo();
  ASSERT_GE(memo.size(), 4u);
  EXPECT_EQ(memo[1], Tile(1) + ":" + Url(1) + " ->OK");
  EXPECT_EQ(memo[memo.size() - 2], Tile(2) + ":" + Url(2) + " ->OK");
  EXPECT_EQ(memo.back(), "Download End.");
  EXPECT_EQ(ReadFileBytes(Tile(2)), tile);
  EXPECT_FALSE(FileExists(Tile(3)));
  EXPECT_FALSE(FileExists(Tile(4))) << "an address with a NUL in it is never requested";
  EXPECT_EQ(ReadFileBytes(listPath), list) << "the list itself is never written";
}

TEST_F(RedownloadWindow, ABanEndsTheRunWithoutRequestingTheRest) {
  Serve({{Target(1), Reply("403 Forbidden")},
         {Target(6), "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n"}});
  Run(WriteList({Line(1), Line(2), Line(3), Line(4), Line(0)}));
  EXPECT_EQ(Memo(),
            (TStringList{"Start...", "403 Forbidden->" + Url(1), BanLine, "Download End."}));
  EXPECT_EQ(server.AllReceived().size(), 1u);
  EXPECT_EQ(RequestsFor(Target(1)), 1);
  EXPECT_EQ(RequestsFor(Target(2)), 0);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Ended);

  Run(WriteList({Line(5), Line(6), Line(7)}));
  EXPECT_EQ(Memo(), (TStringList{"Start...", Tile(5) + ":" + Url(5) + " ->OK",
                                 "302 Found->" + Url(6), BanLine, "Download End."}));
  EXPECT_EQ(RequestsFor(Target(7)), 0);
}

TEST_F(RedownloadWindow, ResetsAreRepeatedAtMostThirtyTimesThenCountAsAFailure) {
  for (int i = 0; i <= MaxResetRepeats; ++i) {
    server.AddConnection(ConnectionScript().AwaitRequest().Reset());
  }
  Serve();
  Run(WriteList({Line(1), Line(2)}));

  EXPECT_EQ(RequestsFor(Target(1)), MaxResetRepeats + 1);
  EXPECT_EQ(Memo(),
            (TStringList{"Start...", "Socket Error # 10054\r\nConnection reset by peer.->" + Url(1),
                         Tile(2) + ":" + Url(2) + " ->OK", "Download End."}));
  EXPECT_FALSE(FileExists(Tile(1)));
  EXPECT_TRUE(clock.PausesMs().empty());  // repeats follow at once
}

TEST_F(RedownloadWindow, AfterAResetTheFileHoldsOnlyTheRepeatsCompleteAnswer) {
  server.AddConnection(ConnectionScript()
                           .AwaitRequest()
                           .Send("HTTP/1.1 200 OK\r\nContent-Length: " +
                                 std::to_string(tile.size()) + "\r\n\r\n" + tile.substr(0, 3))
                           .Reset());
  Serve();
  Run(WriteList({Line(3)}));
  EXPECT_EQ(RequestsFor(Target(3)), 2);
  EXPECT_EQ(ReadFileBytes(Tile(3)), tile);
  EXPECT_EQ(Memo().back(), "Download End.");
}

TEST_F(RedownloadWindow, ATileThatCannotBeWrittenEndsTheRunWithTheFileError) {
  Serve();
  ASSERT_TRUE(CreateDir(Tile(1)));  // a folder where the tile goes: no file fits
  Run(WriteList({Line(1), Line(2)}));
  EXPECT_EQ(dialogs.Errors(), TStringList{"Cannot create file " + Tile(1)});
  EXPECT_EQ(Memo(), TStringList{"Start..."});
  EXPECT_EQ(RequestsFor(Target(2)), 0);
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Failed);
  EXPECT_FALSE(flt.Running());

  // The button works again after the error; a line without "|" names no tile of the task.
  dialogs.ClearEvents();
  Run(WriteList({Url(2)}));
  EXPECT_TRUE(dialogs.Errors().empty());
  EXPECT_EQ(Memo(), (TStringList{"Start...", "Line 1 skipped: not a tile of this list's task.",
                                 "Download End."}));
  EXPECT_EQ(RequestsFor(Target(2)), 0);
}

TEST_F(RedownloadWindow, AListThatCannotBeReadFetchesNothing) {
  Serve();
  dialogs.QueueCancel();
  flt.ShowModal();
  flt.openListButton.UserClick();
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Cancelled);

  const std::string missing = tiles.Path() + "typed-name.ftl";
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
  const std::string listPath = WriteList({Line(0), Line(1)});
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
  EXPECT_EQ(flt.LastRunOutcome(), RetryRunOutcome::Stopped);
  EXPECT_EQ(dialogs.PendingAnswers(), 1) << "no second run";
  EXPECT_EQ(RequestsFor(Target(1)), 0);
  EXPECT_FALSE(FileExists(Tile(0)));
  EXPECT_EQ(flt.openListButton.Caption(), "Open *.ftl file and download...");
  EXPECT_FALSE(flt.Running());
}

}  // namespace
}  // namespace korvane::test
