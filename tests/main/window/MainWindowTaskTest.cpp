#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>

#include "MainWindowFixture.h"
#include "download/JpegCheck.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "platform/TextFile.h"
#include "task/PanoramaRecordFile.h"
#include "task/TaskFile.h"

namespace korvane::test {
namespace {

const std::string TaskStopedMessage = "Task stoped!" + std::string(20, ' ');

class TaskRun : public MainWindowFixture {};

TEST_F(TaskRun, AZoomTwoTaskRunsToItsEnd) {
  Type("paris", "48.8566", "2.3522", "2", SavePath());
  StartAndRunToEnd();

  EXPECT_EQ(form->startStopButton.Caption(), "Start");
  EXPECT_FALSE(form->progressTimer.Enabled());
  EXPECT_FALSE(form->TaskRunning());
  EXPECT_EQ(form->totalTilesLabel.Caption(), "Total images: 8");
  EXPECT_EQ(form->statusBar.SimpleText(), "Tiles 8/8, failed 0");
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{TaskStopedMessage});

  for (int x = 0; x < 4; ++x) {
    for (int y = 0; y < 2; ++y) {
      const std::string tile =
          SavePath() + "paris/gv_" + std::to_string(x) + "_" + std::to_string(y) + "_2.jpg";
      EXPECT_TRUE(FileExists(tile)) << tile;
      EXPECT_EQ(standin->CountRequests(form->Session().Task()->GetTileUrl(x, y)), 1);
    }
  }

  // The log file equals the window, ending with the seven closing lines.
  TStringList log = LoadLines(SavePath() + "paris_log.txt");
  EXPECT_EQ(log, form->logMemo.Lines.Strings());
  ASSERT_GE(log.size(), 22u + 8u + 8u + 7u);
  EXPECT_EQ(log[0], "Project: " + SavePath() + "paris.krvn");
  const size_t n = log.size();
  EXPECT_EQ(log[n - 7], "");
  EXPECT_EQ(log[n - 6], std::string(32, '-'));
  EXPECT_EQ(log[n - 5], "Task Stoped!");
  EXPECT_EQ(log[n - 4], "");
  EXPECT_EQ(log[n - 3].rfind("Now time:", 0), 0u);
  EXPECT_EQ(log[n - 2], "");
  EXPECT_EQ(log[n - 1], "Log file has been saved as " + SavePath() + "paris_log.txt");
  for (int worker = 1; worker <= 8; ++worker) {
    EXPECT_NE(std::find(log.begin(), log.end(), "T" + std::to_string(worker) + " Finished."),
              log.end());
  }
  EXPECT_EQ(ReadSaved("paris_failed.ftl"), "");

  // Positions: worker i took sequence number k = i (k 8 for worker 0), tile ((k-1)/2, (k-1)%2);
  // a zero in a position means none.
  TIniFile taskFile(SavePath() + "paris.krvn");
  for (int index = 0; index < 8; ++index) {
    const int k = index == 0 ? 8 : index;
    const int x = (k - 1) / 2;
    const int y = (k - 1) % 2;
    EXPECT_EQ(taskFile.ReadInteger("THREADS", "T" + std::to_string(index + 1) + "X", 0), x);
    EXPECT_EQ(taskFile.ReadInteger("THREADS", "T" + std::to_string(index + 1) + "Y", 0), y);
  }
}

TEST_F(TaskRun, ZoomOneRunsTwoWorkers) {
  Type("one", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  EXPECT_EQ(form->Session().Task()->Params->ThreadCount, 2);
  TStringList log = form->logMemo.Lines.Strings();
  EXPECT_NE(std::find(log.begin(), log.end(), "T2 Finished."), log.end());
  EXPECT_EQ(std::find(log.begin(), log.end(), "T3 Finished."), log.end());
  EXPECT_TRUE(JpegFileDecodes(SavePath() + "one/gv_1_0_1.jpg"));
}

TEST_F(TaskRun, StopEndsTheTaskThroughTheSameEndSequence) {
  Type("stopped", "48.8566", "2.3522", "3", SavePath());
  Press();
  ASSERT_TRUE(form->TaskRunning());
  Press();
  Press();
  EXPECT_EQ(form->startStopButton.Caption(), "Stop") << "Stop only asks the workers";
  RunToEnd();
  TStringList log = LoadLines(SavePath() + "stopped_log.txt");
  const std::string third = "Thread3will be terminated by user. please wait...";
  EXPECT_EQ(std::count(log.begin(), log.end(), third), 2) << "Stop pressed twice, lines twice";
  EXPECT_EQ(log[log.size() - 5], "Task Stoped!");
  EXPECT_EQ(dialogs.Messages(), std::vector<std::string>{TaskStopedMessage});
  EXPECT_EQ(form->startStopButton.Caption(), "Start");
}

TEST_F(TaskRun, ContinuingResumesEachWorkerAfterItsRecordedTile) {
  Type("cont.krvn", "48.8566", "2.3522", "3", SavePath());
  StartAndRunToEnd();
  const std::string panoId = form->Session().Task()->Params->PanoId;
  const int requestsAfterFirstRun = static_cast<int>(standin->Requests().size());

  // Pretend worker 2 stopped after (2, 1) (k 10) and worker 3 after (0, 2) (k 3).
  TIniFile taskFile(SavePath() + "cont.krvn");
  taskFile.WriteInteger("THREADS", "T3X", 2);
  taskFile.WriteInteger("THREADS", "T3Y", 1);
  taskFile.WriteInteger("THREADS", "T4X", 0);
  StartAndRunToEnd();
  ASSERT_TRUE(form->Session().Task()->Params->ContinueTask);
  EXPECT_EQ(form->Session().Task()->Params->PanoId, panoId);
  TStringList log = LoadLines(SavePath() + "cont_log.txt");
  EXPECT_NE(std::find(log.begin(), log.end(), "Log continue..."), log.end());
  EXPECT_EQ(log[0], "Project: " + SavePath() + "cont.krvn");

  // Worker 2 (k 2, 10, 18, 26) fetches only k 18 and 26 again; every other worker whose
  // recorded tile is its last one fetches nothing; worker 3's position lost its column.
  std::vector<StandinRequest> requests = standin->Requests();
  std::vector<std::string> secondRun;
  for (size_t i = static_cast<size_t>(requestsAfterFirstRun); i < requests.size(); ++i) {
    if (requests[i].Target.find("output=tile") != std::string::npos) {
      secondRun.push_back(requests[i].Target);
    }
  }
  auto fetched = [&](int x, int y) {
    const std::string target = "&x=" + std::to_string(x) + "&y=" + std::to_string(y) + "&";
    return std::any_of(secondRun.begin(), secondRun.end(),
                       [&](const std::string& t) { return t.find(target) != std::string::npos; });
  };
  EXPECT_TRUE(fetched(4, 1));
  EXPECT_TRUE(fetched(6, 1));
  EXPECT_FALSE(fetched(0, 1));
  EXPECT_FALSE(fetched(2, 1));
  EXPECT_TRUE(fetched(0, 2)) << "worker 3 starts again from the beginning of its share";
  EXPECT_TRUE(fetched(0, 0)) << "worker 1 only gets row 0, so its position always has a zero";
}

TEST_F(TaskRun, ANameTypedWithoutItsExtensionStartsAnew) {
  Type("again", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  StartAndRunToEnd();
  EXPECT_FALSE(form->Session().Task()->Params->ContinueTask);
  Type("again.krvn", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  EXPECT_TRUE(form->Session().Task()->Params->ContinueTask);
}

TEST_F(TaskRun, OpenTaskThenStartContinuesIt) {
  Type("opened.krvn", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  Type("other", "1", "1", "5", "/nowhere");
  dialogs.QueuePick(SavePath() + "opened.krvn");
  form->openTaskButton.UserClick();
  EXPECT_EQ(form->savePathEdit.Text(), SavePath());
  EXPECT_EQ(form->taskNameEdit.Text(), "opened.krvn");
  EXPECT_EQ(form->latitudeEdit.Text(), "48.8566");
  EXPECT_EQ(form->longitudeEdit.Text(), "2.3522");
  EXPECT_EQ(form->zoomEdit.Text(), "1");
  StartAndRunToEnd();
  EXPECT_TRUE(form->Session().Task()->Params->ContinueTask);
}

// Today's service: the log lists the other dates found, a line each; a link naming one of them
// downloads it, and the task opened again asks for its id, not for the place.
TEST_F(TaskRun, OtherDatesAreLoggedAndALinkWithAnIdIsContinuedById) {
  program.WriteConfig(standin->CurrentServiceConfig());
  const auto placeLookups = [this] {
    int count = 0;
    for (const auto& request : standin->Requests())
      count += request.Target.find("SingleImageSearch") != std::string::npos ? 1 : 0;
    return count;
  };
  Type("place.krvn", "48.8584", "2.2945", "1", SavePath());  // a place answered in whole
  StartAndRunToEnd();
  const auto record = ReadPanoramaRecord(SavePath() + "place.krvn");
  ASSERT_TRUE(record);
  ASSERT_EQ(record->OtherDates.size(), 2u) << PanoramaRecordToJson(*record);
  const std::vector<std::string> log = LogLines();
  for (const OtherCapture& other : record->OtherDates) {
    const std::string line = "Also taken " + CaptureMonthText(*other.Date) + ": " + other.PanoId;
    EXPECT_EQ(std::count(log.begin(), log.end(), line), 1) << line;
  }

  const std::string older = record->OtherDates.back().PanoId;
  Type("older.krvn", "https://www.google.com/maps/@48.8584,2.2945,3a/data=!3m4!1s" + older + "!2e0",
       "", "1", SavePath());
  StartAndRunToEnd();
  EXPECT_EQ(form->Session().Task()->Params->PanoId, older);
  EXPECT_TRUE(ReadTaskFile(SavePath() + "older.krvn").StartedById);
  EXPECT_EQ(placeLookups(), 1);

  Type("other", "1", "1", "5", "/nowhere");
  dialogs.QueuePick(SavePath() + "older.krvn");
  form->openTaskButton.UserClick();
  StartAndRunToEnd();
  EXPECT_TRUE(form->Session().Task()->Params->ContinueTask);
  EXPECT_EQ(form->Session().Task()->Params->PanoId, older);
  EXPECT_EQ(placeLookups(), 1);
}

TEST_F(TaskRun, ClosingTheWindowDuringATaskStopsAndSavesEverything) {
  Type("closing", "48.8566", "2.3522", "3", SavePath());
  Press();
  ASSERT_TRUE(form->TaskRunning());
  EXPECT_TRUE(form->Close());
  EXPECT_FALSE(form->TaskRunning());
  EXPECT_TRUE(dialogs.Messages().empty()) << "closing ends quietly";
  TStringList log = LoadLines(SavePath() + "closing_log.txt");
  EXPECT_EQ(log, form->logMemo.Lines.Strings());
  EXPECT_EQ(log[log.size() - 5], "Task Stoped!");
}

// The lookup's request hangs. The big button says Stop while the lookup runs; pressing it, or
// closing the window, ends the lookup at once, with no box and no task.
class StalledLookup : public MainWindowFixture {
 protected:
  StalledLookup() : MainWindowFixture("metadata every stall\n") {}

  // Presses Start; once the service holds the lookup's request, the user does action (through
  // the loop the lookup serves).
  void PressThenDuringTheLookup(const std::function<void()>& action) {
    Type("hung", "48.8566", "2.3522", "3", SavePath());
    std::thread user([&] {
      // Bounded: a lookup that never reaches the service fails the checks below.
      for (int i = 0; i < 1000 && standin->Requests().empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      app->QueueCall([&] {
        captionDuringLookup = form->startStopButton.Caption();
        action();
      });
    });
    Press();
    user.join();
  }

  void ExpectNothingStarted() {
    EXPECT_EQ(captionDuringLookup, "Stop");
    EXPECT_EQ(form->startStopButton.Caption(), "Start");
    EXPECT_FALSE(form->TaskRunning());
    EXPECT_EQ(form->Session().Task(), nullptr);
    EXPECT_TRUE(dialogs.Messages().empty());
    EXPECT_EQ(form->logMemo.Lines.Strings(),
              (TStringList{"[log window]", "Getting pano_id now, please wait...",
                           "Lookup stopped by user."}));
    EXPECT_EQ(standin->Requests().size(), 1u) << "no further attempt";
  }

  std::string captionDuringLookup;
};

TEST_F(StalledLookup, StopEndsTheLookupAtOnce) {
  PressThenDuringTheLookup([this] { Press(); });
  ExpectNothingStarted();
}

TEST_F(StalledLookup, ClosingTheWindowEndsTheLookupAtOnce) {
  bool closed = false;
  PressThenDuringTheLookup([&] { closed = form->Close(); });
  EXPECT_TRUE(closed);
  ExpectNothingStarted();
}

TEST_F(TaskRun, AWindowDestroyedDuringATaskStillSavesTheEnd) {
  Type("gone", "48.8566", "2.3522", "3", SavePath());
  Press();
  ASSERT_TRUE(form->TaskRunning());
  form.reset();
  EXPECT_EQ(tasksEnded, 1) << "the end sequence ran exactly once";
  TStringList log = LoadLines(SavePath() + "gone_log.txt");
  EXPECT_EQ(log.back(), "Log file has been saved as " + SavePath() + "gone_log.txt");
  EXPECT_TRUE(dialogs.Messages().empty());
}

TEST_F(TaskRun, AnErrorInTheEndSequenceStillEndsTheTask) {
  Type("lost", "48.8566", "2.3522", "2", SavePath());
  Press();
  ASSERT_TRUE(form->TaskRunning());
  // Moved away in one step: the workers may be writing tiles into it at this very moment.
  const std::string moved = SavePath().substr(0, SavePath().size() - 1) + "-moved";
  std::filesystem::rename(SavePath(), moved);
  RunToEnd();
  std::filesystem::remove_all(moved);
  EXPECT_FALSE(form->TaskRunning());
  EXPECT_EQ(form->startStopButton.Caption(), "Start");
  EXPECT_FALSE(form->progressTimer.Enabled());
  ASSERT_FALSE(dialogs.Errors().empty());
  // The periodic save may have failed before (its own boxes); the end sequence's box comes last.
  EXPECT_EQ(dialogs.Errors().back(), "Cannot create file " + SavePath() + "lost_log.txt");
}

TEST_F(TaskRun, ViewLogFileOpensTheLastTasksLog) {
  form->viewLogFileItem.Click();
  EXPECT_EQ(dialogs.Messages().back(), "No task running now." + std::string(18, ' '));
  Type("viewed", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  form->logMemo.UserDblClick();
  EXPECT_EQ(dialogs.Opened(), std::vector<std::string>{SavePath() + "viewed_log.txt"});
  DeleteFile(SavePath() + "viewed_log.txt");
  form->viewLogFileItem.Click();
  EXPECT_EQ(dialogs.Messages().back(), "No logfile now." + std::string(25, ' '));
}

TEST_F(TaskRun, TheCompanionsOpenTheCurrentTaskOnceThereIsOne) {
  form->imagesViewerItem.Click();
  form->imagesCombinerItem.Click();
  Type("shown", "48.8566", "2.3522", "1", SavePath());
  StartAndRunToEnd();
  form->imagesViewerItem.Click();
  form->imagesCombinerItem.Click();
  const std::string task = SavePath() + "shown.krvn";
  EXPECT_EQ(dialogs.Started(),
            (std::vector<std::string>{ProgramFolder() + "pictoscope", ProgramFolder() + "mosaicker",
                                      ProgramFolder() + "pictoscope " + task,
                                      ProgramFolder() + "mosaicker --window " + task}));
}

}  // namespace
}  // namespace korvane::test
