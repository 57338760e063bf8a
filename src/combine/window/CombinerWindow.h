#pragma once

#include <string>

#include "combine/CombineTask.h"
#include "ui/Controls.h"
#include "ui/TImage.h"
#include "ui/TProgressBar.h"

namespace korvane {

// The Images Combiner window: a task file (typed or picked), the picture's file (beside the
// task file unless changed), the quality, whether an existing picture may be replaced, and
// Combine. While combining, the bar follows the scanlines written; when done, the picture's
// thumbnail and a one-line result show. Errors and missing tiles come in a box with the same
// texts the command line prints.
class CombinerWindow : public TForm {
 public:
  static constexpr int ThumbnailWidth = 444;
  static constexpr int ThumbnailHeight = 222;
  // The most missing tiles the box lists by name; the result line always has the count.
  static constexpr int MissingTilesListed = 10;

  explicit CombinerWindow(TApplication& app);

  // Chooses the task file (as the main window's "Images Combiner" does with its current task)
  // and proposes the picture's file beside it.
  void SelectTask(const std::string& taskFile);

  // Asks for a task file through the file-open dialog.
  void BrowseClick();
  // Combines the chosen task's tiles; the window stays usable (the bar moves) meanwhile, and
  // closing it cancels.
  void CombineClick();

  TLabel taskLabel{this, "taskLabel", "Task file:"};
  TEdit taskEdit{this, "taskEdit"};
  TButton browseButton{this, "browseButton", "Browse..."};
  TLabel outputLabel{this, "outputLabel", "Picture file:"};
  TEdit outputEdit{this, "outputEdit"};
  TLabel qualityLabel{this, "qualityLabel", "Quality:"};
  TEdit qualityEdit{this, "qualityEdit"};
  TUpDown qualityUpDown{this, "qualityUpDown"};
  TCheckBox replaceCheck{this, "replaceCheck", "Replace an existing picture"};
  TButton combineButton{this, "combineButton", "Combine"};
  TProgressBar progressBar{this, "progressBar"};
  TImage thumbnailImage{this, "thumbnailImage"};
  TLabel resultLabel{this, "resultLabel"};
  TOpenDialog openDialog{this, "openDialog"};

 private:
  void ShowOutcome(const CombineOutcome& outcome);
};

}  // namespace korvane
