#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

#include "EngineTest.h"
#include "TestJpeg.h"
#include "download/FetchTile.h"
#include "download/JpegCheck.h"
#include "net/BrowserHeaders.h"
#include "net/HttpClient.h"
#include "net/HttpErrors.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace korvane::test {
namespace {

using Lines = std::vector<std::string>;
using Pauses = std::vector<long long>;

constexpr const char* Reset = "Socket Error # 10054\r\nConnection reset by peer.";
constexpr const char* Ban = "Error: may be your IP is banned.\nPlease try again later.";
constexpr const char* Network = "Error: Your network has problem, please check it.";

// Worker 3 (lines "T3") fetches tile (2,0) of a zoom-2 task: sequence number 5.
class FetchTileTest : public EngineTest {
 protected:
  static constexpr int X = 2;
  static constexpr int Y = 0;

  // Runs FetchTile as worker 3 does, with a client of its own unless get is given; log lines
  // and failed lines ("failedListMemo: " + line) are recorded in the order handed over.
  TileOutcome Fetch(HttpGetFunction get = {}) {
    HttpClient client;
    SetBrowserHeaders(client);
    if (!get) get = [&client](const std::string& url, std::string& body) { client.Get(url, body); };
    TileFetchWorker worker{
        get,
        *task,
        3,
        program.Path() + "blankimg/blank.jpg",
        [this](const std::string& line) { handed.push_back(line); },
        [this](const std::string& line) { handed.push_back("failedListMemo: " + line); },
    };
    return FetchTile(worker, X, Y, 5);
  }

  std::string Url() const { return TileUrl(X, Y); }
  std::string Path() const { return TilePath(X, Y); }
  std::string FailedLine() const { return "failedListMemo: " + Path() + "|" + Url(); }
  int Requests() const { return standin->CountRequests(Url()); }

  Lines handed;
};

Lines Repeated(const std::string& line, int times) {
  return Lines(static_cast<size_t>(times), line);
}

TEST_F(FetchTileTest, GoodAnswer_OneRequestOneLineFileAsReceived) {
  StartTask("");
  EXPECT_EQ(Fetch(), TileOutcome::Saved);
  EXPECT_EQ(handed, Lines{"T3:seq=5,gv_2_0_2.jpg OK"});
  EXPECT_EQ(Requests(), 1);
  EXPECT_TRUE(clock.PausesMs().empty());
  EXPECT_EQ(ReadFileBytes(Path()), ServedTile(X, Y));
  // Written under a temporary name and renamed: nothing else is left in the folder.
  EXPECT_EQ(TileFolderFiles(), Lines{"gv_2_0_2.jpg"});
}

TEST_F(FetchTileTest, ResetEveryTime_ThirtyRequestsThenSubstitute) {
  StartTask("tile every reset");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  Lines expected = Repeated(std::string("T3 ") + Reset + "->" + Url(), 30);
  expected.push_back(FailedLine());
  expected.push_back("T3:2-0 got a blank image!");
  EXPECT_EQ(handed, expected);
  EXPECT_EQ(Requests(), 30);
  EXPECT_EQ(clock.PausesMs(), Pauses(29, 1000));
  EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
}

TEST_F(FetchTileTest, ClosedEveryTime_SubstituteKeepsAnEarlierTile) {
  StartTask("tile every close");
  WriteFileBytes(Path(), "tile of an earlier run");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  ASSERT_EQ(handed.size(), 32u);
  EXPECT_EQ(handed[29], "T3 Connection Closed Gracefully.->" + Url());
  EXPECT_EQ(handed[30], FailedLine());
  EXPECT_EQ(Requests(), 30);
  EXPECT_EQ(ReadFileBytes(Path()), "tile of an earlier run");
}

TEST_F(FetchTileTest, AddressInUse_ThirtyRequestsWithLongWaits) {
  StartTask("");
  int calls = 0;
  EXPECT_EQ(Fetch([&](const std::string&, std::string&) {
              ++calls;
              throw SocketError(10048);
            }),
            TileOutcome::Substituted);
  EXPECT_EQ(calls, 30);
  Lines expected = Repeated("T3 Socket Error # 10048\r\nAddress already in use.->" + Url(), 30);
  expected.push_back(FailedLine());
  expected.push_back("T3:2-0 got a blank image!");
  EXPECT_EQ(handed, expected);
  EXPECT_EQ(clock.PausesMs(), Pauses(29, 8000));
  EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
}

TEST_F(FetchTileTest, Refused_ThreeRequestsThenStopWithoutSubstitute) {
  for (const auto& [plan, message] :
       {std::pair<std::string, std::string>{"tile every status 403", "403 Forbidden"},
        {"tile every status 302 location=http://x/", "302 Found"}}) {
    SCOPED_TRACE(plan);
    handed.clear();
    clock.Clear();
    StartTask(plan);
    EXPECT_EQ(Fetch(), TileOutcome::StopWorker);
    EXPECT_EQ(handed, (Lines{"T3 " + message + "->" + Url(), FailedLine(), Ban}));
    EXPECT_EQ(Requests(), 3);
    EXPECT_EQ(clock.PausesMs(), (Pauses{1000, 1000}));
    EXPECT_FALSE(FileExists(Path()));
  }
}

TEST_F(FetchTileTest, ABusyServiceWhoseReasonNamesAnotherStatus_IsNoRefusal) {
  StartTask("");
  int calls = 0;
  EXPECT_EQ(Fetch([&](const std::string&, std::string&) {
              ++calls;
              throw HttpStatusError(503, "503 Try again in 403 seconds");
            }),
            TileOutcome::Substituted)
      << "a 503 is no ban: the worker goes on";
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(handed, (Lines{"T3 503 Try again in 403 seconds->" + Url(), FailedLine(),
                           "T3:2-0 got a blank image!"}));
}

TEST_F(FetchTileTest, SharedCounter_RefusalAfterTwoResetsIsFinalAtOnce) {
  StartTask("tile first 2 reset\ntile every status 403");
  EXPECT_EQ(Fetch(), TileOutcome::StopWorker);
  const std::string resetLine = std::string("T3 ") + Reset + "->" + Url();
  EXPECT_EQ(handed, (Lines{resetLine, resetLine, "T3 403 Forbidden->" + Url(), FailedLine(), Ban}));
  EXPECT_EQ(Requests(), 3);
  EXPECT_EQ(clock.PausesMs(), (Pauses{1000, 1000}));
}

TEST_F(FetchTileTest, NetworkDown_ThreeAttemptsThenStop) {
  StartTaskWithConfig(DeadServiceConfig());
  EXPECT_EQ(Fetch(), TileOutcome::StopWorker);
  EXPECT_EQ(handed, (Lines{"T3 Socket Error # 10061\r\nConnection refused.->" + Url(), FailedLine(),
                           Network}));
  EXPECT_EQ(clock.PausesMs(), (Pauses{2000, 2000}));
  EXPECT_FALSE(FileExists(Path()));
}

TEST_F(FetchTileTest, NotFound_SubstituteWithoutFailedLine) {
  for (const auto& [plan, message] :
       {std::pair<std::string, std::string>{"tile every status 404", "404 Not Found"},
        {"tile every status 400", "400 Bad Request"}}) {
    SCOPED_TRACE(plan);
    handed.clear();
    clock.Clear();
    StartTask(plan);
    DeleteFile(Path());
    EXPECT_EQ(Fetch(), TileOutcome::Substituted);
    EXPECT_EQ(handed, (Lines{"Error: the image is not found on server." + message,
                             "T3:2-0 got a blank image!"}));
    EXPECT_EQ(Requests(), 3);
    EXPECT_EQ(clock.PausesMs(), (Pauses{1000, 1000}));
    EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
  }
}

TEST_F(FetchTileTest, OtherError_ThreeRequestsThenSubstitute) {
  StartTask("tile every status 500");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  EXPECT_EQ(handed, (Lines{"T3 500 Internal Server Error->" + Url(), FailedLine(),
                           "T3:2-0 got a blank image!"}));
  EXPECT_EQ(Requests(), 3);
  EXPECT_EQ(clock.PausesMs(), (Pauses{1000, 1000}));
}

TEST_F(FetchTileTest, FailureWithoutText_ThreeAttemptsThenSubstitute) {
  StartTask("");
  int calls = 0;
  EXPECT_EQ(Fetch([&](const std::string&, std::string&) {
              ++calls;
              throw 42;
            }),
            TileOutcome::Substituted);
  EXPECT_EQ(calls, 3);
  EXPECT_EQ(handed,
            (Lines{"gv_2_0_2.jpg:failed ->" + Url(), FailedLine(), "T3:2-0 got a blank image!"}));
  EXPECT_EQ(clock.PausesMs(), (Pauses{1000, 1000}));
}

TEST_F(FetchTileTest, NotAJpeg_KeptAsInvalidAndNeverRequestedAgain) {
  StartTask("tile every html");
  WriteFileBytes(Path(), "tile of an earlier run");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  EXPECT_EQ(handed, (Lines{"failed ->" + Url(), FailedLine(), "T3:2-0 got a invalid image!"}));
  EXPECT_EQ(Requests(), 1);
  EXPECT_TRUE(clock.PausesMs().empty());
  EXPECT_NE(ReadFileBytes(Path() + ".invalid").find("<html"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(Path()), BlankImage());  // replaced
}

// A picture that decodes but is not the task's tile size would break the panorama it joins.
TEST_F(FetchTileTest, AWholePictureOfAnotherSize_IsInvalidAndNeverRequestedAgain) {
  for (const auto& [width, height] : {std::pair{256, 256}, {512, 511}, {1024, 512}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    handed.clear();
    StartTask("");
    int calls = 0;
    EXPECT_EQ(Fetch([&](const std::string&, std::string& body) {
                ++calls;
                body = MakeJpeg(width, height);
              }),
              TileOutcome::Substituted);
    EXPECT_EQ(handed, (Lines{"failed ->" + Url(), FailedLine(), "T3:2-0 got a invalid image!"}));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ReadFileBytes(Path() + ".invalid"), MakeJpeg(width, height));
    EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
  }
}

TEST_F(FetchTileTest, EmptyAnswer_IsInvalid) {
  StartTask("tile every empty");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  EXPECT_EQ(handed.back(), "T3:2-0 got a invalid image!");
  EXPECT_EQ(ReadFileBytes(Path() + ".invalid"), "");
  EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
}

TEST_F(FetchTileTest, NeverDecodes_FourRequestsThenCrashedAndSubstitute) {
  StartTask("tile every corrupt");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  Lines expected = Repeated("crashed image->" + Url(), 4);
  expected.push_back(FailedLine());
  expected.push_back("T3:2-0 got a crashed image!");
  EXPECT_EQ(handed, expected);
  EXPECT_EQ(Requests(), 4);
  EXPECT_EQ(clock.PausesMs(), Pauses(3, 1000));
  const std::string crashed = ReadFileBytes(Path() + ".crashed");
  EXPECT_EQ(crashed.substr(0, 2), "\xFF\xD8");
  EXPECT_FALSE(JpegDecodes(crashed));
  EXPECT_EQ(ReadFileBytes(Path()), BlankImage());
}

TEST_F(FetchTileTest, DecodesOnSecondRequest_SecondAnswerReplacesTheCrashedFile) {
  for (const char* plan : {"tile first 1 corrupt", "tile first 1 truncate"}) {
    SCOPED_TRACE(plan);
    handed.clear();
    clock.Clear();
    StartTask(plan);
    EXPECT_EQ(Fetch(), TileOutcome::Saved);
    EXPECT_EQ(handed, (Lines{"crashed image->" + Url(), "T3:seq=5,gv_2_0_2.jpg OK"}));
    EXPECT_EQ(clock.PausesMs(), Pauses{1000});
    EXPECT_EQ(ReadFileBytes(Path()), ServedTile(X, Y));
    EXPECT_FALSE(FileExists(Path() + ".crashed"));
  }
}

TEST_F(FetchTileTest, ErrorPageThenGoodAnswer_FileHoldsTheSecondAnswerAlone) {
  StartTask("tile first 1 status 404");
  EXPECT_EQ(Fetch(), TileOutcome::Saved);
  EXPECT_EQ(handed, Lines{"T3:seq=5,gv_2_0_2.jpg OK"});
  EXPECT_EQ(Requests(), 2);
  EXPECT_EQ(ReadFileBytes(Path()), ServedTile(X, Y));
}

// The tile is listed for a re-download, once, and the error goes to the worker.
TEST_F(FetchTileTest, TileFolderGone_RaisesInsteadOfReportingTheTile) {
  StartTask("");
  std::filesystem::remove_all(task->TileFolder);
  try {
    Fetch();
    FAIL() << "no error raised";
  } catch (const FileCreateError& error) {
    EXPECT_EQ(error.Message(), "Cannot create file " + Path());
  }
  EXPECT_EQ(handed, Lines{FailedLine()});

  // Giving up cannot place the substitute either: raised the same way, with no blank line.
  handed.clear();
  StartTask("tile every status 404");
  std::filesystem::remove_all(task->TileFolder);
  EXPECT_THROW(Fetch(), FileCreateError);
  EXPECT_EQ(handed, (Lines{"Error: the image is not found on server.404 Not Found", FailedLine()}));

  // A give-up that listed the tile already does not list it twice.
  handed.clear();
  StartTask("tile every status 500");
  std::filesystem::remove_all(task->TileFolder);
  EXPECT_THROW(Fetch(), FileCreateError);
  EXPECT_EQ(handed, (Lines{"T3 500 Internal Server Error->" + Url(), FailedLine()}));
}

TEST_F(FetchTileTest, MissingSubstituteImage_BlankLineStillWritten) {
  StartTask("tile every status 404");
  DeleteFile(program.Path() + "blankimg/blank.jpg");
  EXPECT_EQ(Fetch(), TileOutcome::Substituted);
  EXPECT_EQ(handed.back(), "T3:2-0 got a blank image!");
  EXPECT_FALSE(FileExists(Path()));
}

}  // namespace
}  // namespace korvane::test
