#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <map>
#include <utility>

#include "EngineTest.h"
#include "TestMainWindow.h"
#include "download/JpegCheck.h"
#include "download/TileWorker.h"
#include "platform/FileSystem.h"
#include "support/SystemCallSpy.h"

namespace korvane::test {
namespace {

using Lines = std::vector<std::string>;
using Pauses = std::vector<long long>;
using XY = std::pair<int, int>;

class TileWorkerTest : public EngineTest {
 protected:
  // The log lines of one worker ("T<n>..."), in the order they arrived.
  Lines LinesOf(int number) const {
    const std::string prefix = "T" + std::to_string(number);
    Lines lines;
    for (const std::string& line : window.logMemo) {
      if (line.rfind(prefix, 0) == 0 && (line[prefix.size()] == ' ' || line[prefix.size()] == ':'))
        lines.push_back(line);
    }
    return lines;
  }
  int AllTileRequests() const {
    int count = 0;
    for (const StandinRequest& request : standin->Requests())
      count += request.Target.find("output=tile") != std::string::npos ? 1 : 0;
    return count;
  }

  TestMainWindow window;  // declared last: its workers end before the task and service go
};

TEST_F(TileWorkerTest, EightWorkersOnZoom2_EachTileExactlyOnce) {
  StartTask("", 2, 8);
  window.StartWorkers(*task, 8);
  window.ServeUntilDone();

  EXPECT_EQ(window.RunningWorkers, 0);
  EXPECT_EQ(window.ThreadDoneCalls, 8);
  EXPECT_TRUE(window.failedListMemo.empty());
  EXPECT_EQ(AllTileRequests(), 8);
  for (int x = 0; x <= 3; ++x) {
    for (int y = 0; y <= 1; ++y) {
      EXPECT_EQ(standin->CountRequests(TileUrl(x, y)), 1) << x << "," << y;
      EXPECT_TRUE(JpegFileDecodes(TilePath(x, y)));
    }
  }
  // k 1 goes to worker 1 ("T2"), ..., k 8, the last tile, to worker 0 ("T1").
  EXPECT_EQ(LinesOf(1), (Lines{"T1:seq=8,gv_3_1_2.jpg OK", "T1 Finished."}));
  EXPECT_EQ(LinesOf(2), (Lines{"T2:seq=1,gv_0_0_2.jpg OK", "T2 Finished."}));
  EXPECT_EQ(LinesOf(8), (Lines{"T8:seq=7,gv_3_0_2.jpg OK", "T8 Finished."}));
  EXPECT_EQ(window.Workers[0]->CurrentXY(), XY(3, 1));
  EXPECT_EQ(window.Workers[7]->CurrentXY(), XY(3, 0));
  // One pause after each saved tile.
  EXPECT_EQ(clock.PausesMs(), Pauses(8, 1000));
}

TEST_F(TileWorkerTest, TwoWorkersOnZoom1_OneTileEachWithTheCookieLine) {
  StartTask("", 1, 2);
  window.StartWorkers(*task, 2);
  window.ServeUntilDone();
  EXPECT_EQ(LinesOf(2), (Lines{"T2:seq=1,gv_0_0_1.jpg OK", "T2 Finished."}));
  EXPECT_EQ(LinesOf(1), (Lines{"T1:seq=2,gv_1_0_1.jpg OK", "T1 Finished."}));
  EXPECT_EQ(window.Workers[0]->CurrentXY(), XY(1, 0));
  EXPECT_EQ(window.ThreadDoneCalls, 2);
  // No cookie stored: the cookie line still goes out, empty.
  const auto requests = standin->Requests();
  ASSERT_EQ(requests.size(), 2u);
  for (const StandinRequest& request : requests) {
    EXPECT_NE(request.Bytes.find("\r\nCookie: \r\n"), std::string::npos) << request.Bytes;
    EXPECT_EQ(request.Bytes.find("Proxy-Authorization"), std::string::npos);
  }
}

TEST_F(TileWorkerTest, ResumedWorker_StartsAfterItsRecordedTile) {
  // Zoom 3, worker 2 last finished (2,1) (k 10): it goes on at k 18 (4,1), then k 26 (6,1).
  StartTask("", 3, 8);
  task->ResumeX[2] = 2;
  task->ResumeY[2] = 1;
  window.AddWorker(*task, 2, false);
  window.ServeUntilDone();
  EXPECT_EQ(window.logMemo,
            (Lines{"T3:seq=18,gv_4_1_3.jpg OK", "T3:seq=26,gv_6_1_3.jpg OK", "T3 Finished."}));
  EXPECT_EQ(AllTileRequests(), 2);
  EXPECT_EQ(window.Workers[0]->CurrentXY(), XY(6, 1));
}

TEST_F(TileWorkerTest, ResumedWorkerOnZoom4_GoesOnAtK42) {
  StartTask("", 4, 8);
  task->ResumeX[2] = 4;
  task->ResumeY[2] = 5;
  window.AddWorker(*task, 2, false);
  window.ServeUntilDone();
  ASSERT_FALSE(window.logMemo.empty());
  EXPECT_EQ(window.logMemo.front(), "T3:seq=42,gv_5_6_4.jpg OK");
  EXPECT_EQ(window.logMemo.size(), 8u);  // k 42, 50, ..., 90 and the end line
  EXPECT_EQ(AllTileRequests(), 7);
}

TEST_F(TileWorkerTest, ResumePairWithAZero_StartsFromTheBeginning) {
  StartTask("", 3, 8);
  task->ResumeX[2] = 0;
  task->ResumeY[2] = 1;
  window.AddWorker(*task, 2, false);
  window.ServeUntilDone();
  ASSERT_FALSE(window.logMemo.empty());
  EXPECT_EQ(window.logMemo.front(), "T3:seq=2,gv_0_1_3.jpg OK");
  EXPECT_EQ(AllTileRequests(), 4);
}

TEST_F(TileWorkerTest, StopDuringAddressInUseRetries_EndsAtOnceAndLeavesTheTileForLater) {
  // Two workers' shares; worker 0 owns k 2, 4, 6, 8: (0,1), (1,1), (2,1), (3,1).
  StartTask("", 2, 2);
  const std::string firstTile = TileUrl(0, 1);
  TileWorker& worker = window.AddWorker(*task, 0, true);
  window.OnLogLine = [&](const std::string& line) {
    if (line.find("10048") != std::string::npos) worker.Terminate();
  };
  int failures = 0;
  {
    // The machine is out of local ports for the first five connections.
    test::SystemCallSpy spy;
    spy.RefuseConnects(EADDRNOTAVAIL, 5);
    worker.Start();
    window.ServeUntilDone();
    failures = spy.RefusedConnects();
  }

  // The stop comes with the first failure line: the pause after it ends at once, no request
  // follows, and the tile is neither finished nor given up (no substitute, no failed line).
  Lines expected{"T1 Socket Error # 10048\r\nAddress already in use.->" + firstTile,
                 "T1 Finished."};
  EXPECT_EQ(window.logMemo, expected);
  EXPECT_EQ(failures, 1);
  EXPECT_EQ(AllTileRequests(), 0);
  EXPECT_EQ(clock.PausesMs(), (Pauses{8000}));
  EXPECT_EQ(worker.CurrentXY(), XY(0, 0));
  EXPECT_FALSE(FileExists(task->GetTileFilePath(0, 1)));
  EXPECT_EQ(window.ThreadDoneCalls, 1);
}

TEST_F(TileWorkerTest, BanInOneWorker_EndsThatWorkerOnly) {
  // Zoom 3: worker 3 ("T4") owns (0,2), (2,2), (4,2) and (6,2); the service refuses (2,2).
  StartTask("tile x=2 y=2 every status 403", 3, 8);
  window.StartWorkers(*task, 8);
  window.ServeUntilDone();

  EXPECT_EQ(LinesOf(4), (Lines{"T4:seq=3,gv_0_2_3.jpg OK", "T4 403 Forbidden->" + TileUrl(2, 2),
                               "T4 Finished."}));
  EXPECT_NE(std::find(window.logMemo.begin(), window.logMemo.end(),
                      "Error: may be your IP is banned.\nPlease try again later."),
            window.logMemo.end());
  EXPECT_EQ(window.failedListMemo, Lines{TilePath(2, 2) + "|" + TileUrl(2, 2)});
  EXPECT_EQ(window.Workers[3]->CurrentXY(), XY(0, 2));
  EXPECT_EQ(standin->CountRequests(TileUrl(4, 2)), 0);
  EXPECT_EQ(standin->CountRequests(TileUrl(6, 2)), 0);
  EXPECT_FALSE(FileExists(TilePath(2, 2)));
  // Three requests for the refused tile; the other seven workers fetched all their 24 tiles.
  EXPECT_EQ(standin->CountRequests(TileUrl(2, 2)), 3);
  EXPECT_EQ(AllTileRequests(), 1 + 3 + 24);
  EXPECT_EQ(window.ThreadDoneCalls, 8);
}

TEST_F(TileWorkerTest, DeadNetwork_EveryWorkerStopsAfterItsFirstTile) {
  StartTaskWithConfig(DeadServiceConfig(), 3, 8);
  window.StartWorkers(*task, 8);
  window.ServeUntilDone();
  EXPECT_EQ(window.ThreadDoneCalls, 8);
  EXPECT_EQ(window.failedListMemo.size(), 8u);
  for (int number = 1; number <= 8; ++number) {
    const Lines lines = LinesOf(number);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].rfind("T" + std::to_string(number) + " Socket Error # 10061\r\n", 0), 0u);
    EXPECT_EQ(lines[1], "T" + std::to_string(number) + " Finished.");
    EXPECT_EQ(window.Workers[number - 1]->CurrentXY(), XY(0, 0));
  }
  EXPECT_EQ(std::count(window.logMemo.begin(), window.logMemo.end(),
                       "Error: Your network has problem, please check it."),
            8);
}

TEST_F(TileWorkerTest, TileFolderRemovedMidTask_WorkerReportsAndEnds) {
  StartTask("", 2, 1);  // one worker owns all eight tiles
  window.OnLogLine = [&](const std::string& line) {
    if (line == "T1:seq=2,gv_0_1_2.jpg OK") std::filesystem::remove_all(task->TileFolder);
  };
  window.AddWorker(*task, 0, false);
  window.ServeUntilDone();
  EXPECT_EQ(window.logMemo, (Lines{"T1:seq=1,gv_0_0_2.jpg OK", "T1:seq=2,gv_0_1_2.jpg OK",
                                   "T1 Cannot create file " + TilePath(1, 0), "T1 Finished."}));
  EXPECT_EQ(window.failedListMemo, Lines{TilePath(1, 0) + "|" + task->GetTileUrl(1, 0)});
  EXPECT_EQ(window.Workers[0]->CurrentXY(), XY(0, 1));  // resumes at the lost tile
  EXPECT_EQ(AllTileRequests(), 3);
  EXPECT_EQ(window.ThreadDoneCalls, 1);
}

TEST_F(TileWorkerTest, ProxyPortNotANumber_NoRequestAndTheWorkerEnds) {
  StartTask("", 1, 1);
  params.UseProxy = true;
  params.ProxyServer = "127.0.0.1";
  params.ProxyPort = "80x";
  window.AddWorker(*task, 0, false);
  window.ServeUntilDone();
  EXPECT_EQ(window.logMemo, (Lines{"T1 '80x' is not a valid integer value", "T1 Finished."}));
  EXPECT_TRUE(standin->Requests().empty());
  EXPECT_EQ(window.ThreadDoneCalls, 1);
}

TEST_F(TileWorkerTest, ProxyFieldsAndStoredCookiesReachTheWire) {
  standin = std::make_unique<StandinFixture>();
  // The tile hosts exist only behind the proxy, which is the stand-in itself.
  StartTaskWithConfig(
      "[Service]\r\nServer0=cbk0.example.invalid\r\nServer1=cbk1.example.invalid\r\n"
      "Server2=cbk2.example.invalid\r\nServer3=cbk3.example.invalid\r\n"
      "HomePage=http://maps.example.invalid/\r\n",
      1, 1);
  // The home page's domain cookies reach the tile hosts of that domain; one for the home page's
  // host alone, or secure-only on plain HTTP, does not.
  WriteFileBytes(program.Path() + "ini/cookies.txt",
                 ".example.invalid\tTRUE\t/\tFALSE\t0\tPREF\tID=abc\n"
                 "maps.example.invalid\tFALSE\t/\tFALSE\t0\tHOMEONLY\t1\n"
                 ".example.invalid\tTRUE\t/\tTRUE\t0\tSECURE\t1\n"
                 "example.invalid\tTRUE\t/\tFALSE\t0\tNID\t42\n");
  params.UseProxy = true;
  params.ProxyServer = "127.0.0.1";
  params.ProxyPort = std::to_string(standin->Port());
  params.ProxyUsername = "user";
  params.ProxyPassword = "pw";
  window.AddWorker(*task, 0, false);
  window.ServeUntilDone();

  EXPECT_EQ(window.logMemo,
            (Lines{"T1:seq=1,gv_0_0_1.jpg OK", "T1:seq=2,gv_1_0_1.jpg OK", "T1 Finished."}));
  const auto requests = standin->Requests();
  ASSERT_EQ(requests.size(), 2u);
  const std::string& first = requests[0].Bytes;
  EXPECT_EQ(first.rfind("GET " + TileUrl(0, 0) + " HTTP/1.1\r\nHost: cbk0.example.invalid\r\n", 0),
            0u)
      << first;
  EXPECT_NE(first.find("\r\nProxy-Authorization: Basic dXNlcjpwdw==\r\n"), std::string::npos);
  EXPECT_NE(first.find("\r\nCookie: PREF=ID=abc; NID=42\r\n"), std::string::npos);
}

}  // namespace
}  // namespace korvane::test
