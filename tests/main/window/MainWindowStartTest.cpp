#include <gtest/gtest.h>

#include "MainWindowFixture.h"
#include "main/ProductInfo.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

namespace korvane::test {
namespace {

class StartChecks : public MainWindowFixture {
 protected:
  // Presses Start and returns what the user was shown.
  std::vector<std::string> StartShows() {
    dialogs.ClearEvents();
    Press();
    EXPECT_FALSE(form->TaskRunning());
    EXPECT_EQ(form->startStopButton.Caption(), "Start");
    return dialogs.Transcript();
  }
  int MetadataRequests() const {
    int count = 0;
    for (const auto& request : standin->Requests()) {
      if (request.Target.find("output=xml") != std::string::npos) ++count;
    }
    return count;
  }
};

TEST_F(StartChecks, FormShowFillsCaptionAndDefaultFolder) {
  EXPECT_EQ(form->Caption(), MainWindowCaption);
  EXPECT_EQ(form->savePathEdit.Text(), HomeFolder() + "/download");
  EXPECT_EQ(form->ConfigFile, ProgramFolder() + "ini/config.ini");
  EXPECT_EQ(form->taskNameEdit.Text(), "newtask.krvn");
  EXPECT_EQ(form->zoomEdit.Text(), "3");
  EXPECT_EQ(form->logMemo.Lines[0], "[log window]");
  EXPECT_FALSE(form->miscMenu.Visible());
}

TEST_F(StartChecks, SpinControlKeepsTheZoomBetweenOneAndFive) {
  for (int i = 0; i < 5; ++i)
    form->zoomUpDown.UserStepUp();
  EXPECT_EQ(form->zoomEdit.Text(), "5");
  for (int i = 0; i < 9; ++i)
    form->zoomUpDown.UserStepDown();
  EXPECT_EQ(form->zoomEdit.Text(), "1");
}

TEST_F(StartChecks, InputErrorsAreRefusedBeforeTheLookup) {
  Type("t", "48", "2", "x", SavePath());
  EXPECT_EQ(StartShows(), std::vector<std::string>{"error: 'x' is not a valid integer value"});
  Type("t", "48", "2", "7", SavePath());
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"message: Zoom level should be between 1 and 5."});
  Type("t", "85.1", "180.5", "3", SavePath());
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"message: Longitude should be between -180 and 180."});
  Type("t", "85.1", "180", "3", SavePath());
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"message: Latitude should be between -85 and 85."});
  EXPECT_EQ(MetadataRequests(), 0);
  EXPECT_EQ(form->Session().Task(), nullptr);
}

TEST_F(StartChecks, AMapLinkInTheLatitudeBoxFillsBothBoxesBeforeTheChecks) {
  Type("t", "https://www.google.com/maps/place/X/@48.8566,2.3522,17z/data=!3m1", "", "1",
       SavePath());
  StartAndRunToEnd();
  EXPECT_EQ(form->latitudeEdit.Text(), "48.8566");
  EXPECT_EQ(form->longitudeEdit.Text(), "2.3522");
  ASSERT_EQ(MetadataRequests(), 1);
  for (const auto& request : standin->Requests()) {
    if (request.Target.find("output=xml") == std::string::npos) continue;
    EXPECT_NE(request.Target.find("ll=48.8566,2.3522"), std::string::npos) << request.Target;
  }
  // Out of range, the pair meets the usual check with both boxes filled.
  Type("t", "95.5, 2", "", "1", SavePath());
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"message: Latitude should be between -85 and 85."});
  EXPECT_EQ(form->longitudeEdit.Text(), "2");
}

TEST_F(StartChecks, NoPanoramaShowsTheIdLineAndTheMessage) {
  Type("t", "82,5", "2", "3", SavePath());
  Press();
  EXPECT_EQ(dialogs.Messages(),
            std::vector<std::string>{"There are no street view images on this location."});
  EXPECT_EQ(form->logMemo.Lines[form->logMemo.Lines.Count() - 1], "Pano_id got: ");
  EXPECT_EQ(form->logMemo.Lines[1], "Getting pano_id now, please wait...");
}

TEST_F(StartChecks, SavePathChecksComeAfterTheLookup) {
  Type("t", "48.8566", "2.3522", "1", "");
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"message: Please select a path to save the images."});
  Type("t", "48.8566", "2.3522", "1", SavePath() + "no/such");
  EXPECT_EQ(StartShows(), std::vector<std::string>{"message: Create directory " + SavePath() +
                                                   "no/such Failed."});
  EXPECT_EQ(MetadataRequests(), 2);
}

// During the lookup the big button is a Stop button: a second press (or Enter) stops the
// lookup instead of starting the task twice.
TEST_F(StartChecks, ASecondPressDuringTheLookupStopsIt) {
  Type("once", "48.8566", "2.3522", "1", SavePath());
  // Queued before the press: the loop the lookup serves delivers it mid-start.
  app->QueueCall([this] { form->startStopButton.UserClick(); });
  Press();
  EXPECT_FALSE(form->TaskRunning());
  EXPECT_LE(MetadataRequests(), 1);
  EXPECT_EQ(form->logMemo.Lines.Strings().back(), "Lookup stopped by user.");
  EXPECT_TRUE(dialogs.Messages().empty());
  EXPECT_EQ(form->startStopButton.Caption(), "Start");
}

TEST_F(StartChecks, ATaskFileThatCannotBeReadEndsTheStartWithTheErrorBox) {
  // The same task continued, but its log is gone: WriteLogHeader cannot read it.
  Type("broken.krvn", "48.8566", "2.3522", "1", SavePath());
  Press();
  RunToEnd();
  DeleteFile(SavePath() + "broken_log.txt");
  EXPECT_EQ(StartShows(),
            std::vector<std::string>{"error: Cannot open file " + SavePath() + "broken_log.txt"});
  EXPECT_FALSE(form->TaskRunning());
  EXPECT_FALSE(form->progressTimer.Enabled());
}

TEST_F(StartChecks, ATileFolderThatCannotBeMadeFailsTheTask) {
  WriteFileBytes(SavePath() + "blocked", "a file where the tile folder should be");
  Type("blocked", "48.8566", "2.3522", "1", SavePath());
  EXPECT_EQ(StartShows(), (std::vector<std::string>{
                              "message: Create directory " + SavePath() + "blocked/ Failed.",
                              "message: Error: Create task failure."}));
  EXPECT_EQ(form->Session().Task(), nullptr);
}

TEST_F(StartChecks, MenuCommandsOpenTheirTargets) {
  form->imagesViewerItem.UserClick();
  form->imagesCombinerItem.UserClick();
  form->userManualItem.UserClick();
  form->homePageItem.UserClick();
  EXPECT_EQ(dialogs.Started(), (std::vector<std::string>{ProgramFolder() + "pictoscope",
                                                         ProgramFolder() + "mosaicker"}));
  EXPECT_EQ(dialogs.Opened(),
            (std::vector<std::string>{ProgramFolder() + "help/help.html", HomePageAddress}));
  dialogs.QueuePick("/picked/folder");
  form->browseFolderButton.UserClick();
  EXPECT_EQ(form->savePathEdit.Text(), "/picked/folder");
  dialogs.QueueCancel();
  form->browseFolderButton.UserClick();
  EXPECT_EQ(form->savePathEdit.Text(), "/picked/folder");
}

}  // namespace
}  // namespace korvane::test
