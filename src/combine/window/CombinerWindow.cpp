#include "combine/window/CombinerWindow.h"

#include <algorithm>

#include "combine/PanoramaThumbnail.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFileNames.h"

namespace korvane {

CombinerWindow::CombinerWindow(TApplication& app) : TForm(app, "mosaickerWindow") {
  SetCaption("Images Combiner");
  SetBorderStyle(bsSingle);
  SetPosition(poScreenCenter);
  SetClientSize(460, 374);

  taskLabel.SetBounds(8, 12, 80, 13);
  taskEdit.SetBounds(90, 8, 282, 21);
  browseButton.SetBounds(377, 7, 75, 23);
  outputLabel.SetBounds(8, 40, 80, 13);
  outputEdit.SetBounds(90, 36, 362, 21);
  qualityLabel.SetBounds(8, 68, 80, 13);
  qualityEdit.SetBounds(90, 64, 40, 21);
  qualityUpDown.SetBounds(130, 64, 17, 21);
  qualityUpDown.SetMin(MinCombineQuality);
  qualityUpDown.SetMax(MaxCombineQuality);
  qualityUpDown.SetAssociate(&qualityEdit);
  qualityUpDown.SetPosition(DefaultCombineQuality);
  replaceCheck.SetBounds(160, 66, 200, 17);
  combineButton.SetBounds(377, 62, 75, 25);
  combineButton.SetDefault(true);
  progressBar.SetBounds(8, 96, 444, 17);
  thumbnailImage.SetBounds(8, 120, ThumbnailWidth, ThumbnailHeight);
  resultLabel.SetAutoSize(false);
  resultLabel.SetBounds(8, 350, 444, 16);

  openDialog.Title = "Task file";
  openDialog.Filter = std::string("Tasks(*") + TaskFileExtension + ")|*" + TaskFileExtension;

  browseButton.OnClick = [this] { BrowseClick(); };
  combineButton.OnClick = [this] { CombineClick(); };
}

void CombinerWindow::SelectTask(const std::string& taskFile) {
  taskEdit.SetText(taskFile);
  outputEdit.SetText(taskFile.empty() ? "" : DefaultPanoramaPath(taskFile));
}

void CombinerWindow::BrowseClick() {
  if (!taskEdit.Text().empty()) openDialog.InitialDir = ExtractFilePath(taskEdit.Text());
  if (openDialog.Execute()) SelectTask(openDialog.FileName);
}

void CombinerWindow::CombineClick() {
  const int quality = StrToIntDef(qualityEdit.Text(), 0);
  if (quality < MinCombineQuality || quality > MaxCombineQuality) {
    App().Dialogs().ShowError("The quality must be from 1 to 100.");
    return;
  }
  if (taskEdit.Text().empty()) {
    App().Dialogs().ShowError("No task file given.");
    return;
  }
  thumbnailImage.Clear();
  resultLabel.SetCaption("Combining...");
  progressBar.SetPosition(0);
  combineButton.SetEnabled(false);
  // The stitch runs here, on the main thread, band by band; between bands the window is served
  // so the bar moves and a close is seen (it cancels: nothing half-written stays behind).
  const CombineOutcome outcome = CombineTask(taskEdit.Text(), outputEdit.Text(), quality,
                                             replaceCheck.Checked(), [this](int done, int total) {
                                               progressBar.SetRange(0, total);
                                               progressBar.SetPosition(done);
                                               App().ProcessMessages();
                                               return Visible() && !App().Terminated();
                                             });
  combineButton.SetEnabled(true);
  ShowOutcome(outcome);
}

void CombinerWindow::ShowOutcome(const CombineOutcome& outcome) {
  if (outcome.Status == ExitStatus::Error) {
    progressBar.SetPosition(0);
    resultLabel.SetCaption("");
    if (Visible()) App().Dialogs().ShowError(outcome.Message);
    return;
  }
  const CombineReport& report = outcome.Report;
  try {
    const Thumbnail small = ReadThumbnail(report.OutputPath, ThumbnailWidth, ThumbnailHeight);
    thumbnailImage.SetPicture({small.Width, small.Height, small.Rgb});
  } catch (const Exception&) {
    // The picture is made; only its preview is missing.
  }
  resultLabel.SetCaption(report.OutputPath + " (" + IntToStr(report.Width) + " x " +
                         IntToStr(report.Height) + ")");
  if (outcome.Status == ExitStatus::Incomplete) {
    std::string text = outcome.Message;
    const std::size_t listed =
        std::min(report.MissingTiles.size(), static_cast<std::size_t>(MissingTilesListed));
    for (std::size_t i = 0; i < listed; ++i)
      text += "\n" + report.MissingTiles[i];
    if (listed < report.MissingTiles.size()) text += "\n...";
    App().Dialogs().ShowMessage(text);
  }
}

}  // namespace korvane
