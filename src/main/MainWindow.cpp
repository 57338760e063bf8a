#include "main/MainWindow.h"

#include "config/Config.h"
#include "main/ProductInfo.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "settings/PickFolder.h"

namespace korvane {
namespace {

constexpr int MainClientWidth = 512;
constexpr int MainClientHeight = 426;
constexpr int InputPanelHeight = 208;
constexpr int InsetBorderWidth = 3;
constexpr int FormBorderWidth = 4;
constexpr int LogFontHeight = 13;
constexpr int MinimumZoom = 1;
constexpr int MaximumZoom = 5;
constexpr int InitialZoom = 3;
constexpr int ZoomLabelLeft = 365;

}  // namespace

MainWindow::MainWindow(TApplication& app) : TForm(app, "mainWindow"), session_(*this, app) {
  LayOut();
  WireHandlers();
}

MainWindow::~MainWindow() {
  WaitForWorkersAfterTermination();
}

void MainWindow::LayOut() {
  SetClientSize(MainClientWidth, MainClientHeight);
  SetPosition(poScreenCenter);
  SetBorderWidth(FormBorderWidth);

  miscMenu.SetVisible(false);
  converterItem.SetVisible(false);
  miscSeparator2.SetVisible(false);
  redownloadFailedTilesItem.SetVisible(false);

  statusBar.SetAlign(alBottom);
  statusBar.SetHeight(DefaultStatusBarHeight);
  statusBar.SetSimplePanel(true);
  statusBar.SetSimpleText("Download StreetView images from Google Maps to your PC.");

  clientPanel.SetAlign(alClient);
  clientPanel.SetBevelInner(bvRaised);
  inputPanel.SetAlign(alTop);
  inputPanel.SetHeight(InputPanelHeight);
  inputPanel.SetBevelInner(bvLowered);
  inputPanel.SetBorderWidth(InsetBorderWidth);

  taskNameLabel.SetBounds(12, 20, 70, 13);
  taskNameEdit.SetBounds(86, 16, 309, 21);
  openTaskButton.SetBounds(396, 14, 89, 25);
  latitudeLabel.SetBounds(12, 57, 70, 13);
  latitudeEdit.SetBounds(86, 56, 81, 21);
  longitudeLabel.SetBounds(203, 58, 60, 13);
  longitudeEdit.SetBounds(264, 56, 81, 21);
  // The zoom label starts a little left of where Tahoma would put it: in the wider sans-serif
  // fonts that stand in for Tahoma on Linux its text would otherwise run under the zoom box.
  zoomLabel.SetBounds(ZoomLabelLeft, 58, 60, 13);
  zoomEdit.SetBounds(438, 56, 35, 21);
  zoomUpDown.SetBounds(473, 56, 15, 21);
  zoomUpDown.SetMin(MinimumZoom);
  zoomUpDown.SetMax(MaximumZoom);
  zoomUpDown.SetPosition(InitialZoom);
  zoomUpDown.SetWrap(false);
  zoomUpDown.SetAssociate(&zoomEdit);
  savePathLabel.SetBounds(12, 102, 70, 13);
  savePathEdit.SetBounds(86, 101, 350, 21);
  browseFolderButton.SetBounds(438, 99, 51, 25);
  browseFolderButton.SetHint("Click to select path");
  totalTilesLabel.SetAutoSize(false);
  totalTilesLabel.SetBounds(16, 158, 265, 13);
  startStopButton.SetBounds(352, 146, 129, 41);
  startStopButton.SetDefault(true);
  TFont bold = startStopButton.Font();
  bold.Height = LogFontHeight;
  bold.Bold = true;
  startStopButton.SetFont(bold);

  failedListPanel.SetVisible(false);
  failedListPanel.SetAlign(alBottom);
  failedListMemo.SetAlign(alClient);
  failedListMemo.SetReadOnly(true);
  TFont blue = failedListMemo.Font();
  blue.Height = LogFontHeight;
  blue.Color = clBlue;
  failedListMemo.SetFont(blue);
  failedListMemo.Lines.Add(KeptText::FailedWindowHeader);

  logPanel.SetAlign(alClient);
  logPanel.SetBevelInner(bvLowered);
  logPanel.SetBorderWidth(InsetBorderWidth);
  logMemo.SetAlign(alClient);
  logMemo.SetReadOnly(true);
  logMemo.SetScrollBars(ssBoth);
  logMemo.SetBorderStyle(bsNone);
  logMemo.SetColor(clInfoBk);
  TFont green = logMemo.Font();
  green.Height = LogFontHeight;
  green.Color = clGreen;
  logMemo.SetFont(green);
  logMemo.SetHint("Double click to view log in notepad");
  logMemo.Lines.Add("[log window]");

  progressTimer.SetEnabled(false);
}

void MainWindow::WireHandlers() {
  OnShow = [this] { FormShow(); };
  OnCloseQuery = [this](bool& canClose) { CloseQuery(canClose); };
  browseFolderButton.OnClick = [this] { BrowseFolderClick(); };
  openTaskButton.OnClick = [this] { OpenTaskClick(); };
  startStopButton.OnClick = [this] { StartStopClick(); };
  startStopButton.SetTakesClicksWhileBusy(true);  // Stop during Start's lookup
  progressTimer.OnTimer = [this] { ProgressTimerTick(); };
  logMemo.OnDblClick = [this] { ViewLogFileClick(); };
  exitItem.OnClick = [this] { ExitClick(); };
  optionsItem.OnClick = [this] {
    if (ShowOptions) ShowOptions();
  };
  converterItem.OnClick = [this] {
    if (ShowConverter) ShowConverter();
  };
  viewLogFileItem.OnClick = [this] { ViewLogFileClick(); };
  imagesViewerItem.OnClick = [this] { ImagesViewerClick(); };
  imagesCombinerItem.OnClick = [this] { ImagesCombinerClick(); };
  redownloadFailedFilesItem.OnClick = [this] {
    if (ShowRetry) ShowRetry();
  };
  userManualItem.OnClick = [this] { UserManualClick(); };
  homePageItem.OnClick = [this] { HomePageClick(); };
  aboutItem.OnClick = [this] {
    if (ShowAbout) ShowAbout();
  };
}

void MainWindow::FormShow() {
  const std::string programFolder = ProgramFolder();
  HomePageAddress = korvane::HomePageAddress;
  ConfigFile = ConfigFilePath();
  HelpFile = programFolder + HelpFileName;
  ContactAddress = korvane::ContactAddress;
  DefaultSavePath = ReadMainWindowDefaultPath();
  SetCaption(MainWindowCaption);
  savePathEdit.SetText(DefaultSavePath);
}

void MainWindow::BrowseFolderClick() {
  if (auto folder = PickFolder(App().Dialogs(), "Select path to save", ""))
    savePathEdit.SetText(*folder);
}

void MainWindow::ViewLogFileClick() {
  const DownloadTask* task = session_.Task();
  if (!task) {
    App().ShowMessage(KeptText::NoTaskRunningBox);
  } else if (FileExists(task->LogFileName)) {
    App().Dialogs().ShellOpen(task->LogFileName);
  } else {
    App().ShowMessage(KeptText::NoLogFileBox);
  }
}

void MainWindow::ExitClick() {
  Close();
}

// The companions open the current task when there is one, so a running task can be watched
// as it fills in and a finished one combined without looking for its file.
void MainWindow::ImagesViewerClick() {
  std::vector<std::string> arguments;
  if (const DownloadTask* task = session_.Task()) arguments = {task->TaskFilePath()};
  App().Dialogs().StartProgram(ProgramFolder() + ImageViewerProgram, arguments);
}

void MainWindow::ImagesCombinerClick() {
  std::vector<std::string> arguments;
  if (const DownloadTask* task = session_.Task()) arguments = {"--window", task->TaskFilePath()};
  App().Dialogs().StartProgram(ProgramFolder() + ImageCombinerProgram, arguments);
}

void MainWindow::UserManualClick() {
  App().Dialogs().ShellOpen(HelpFile);
}

void MainWindow::HomePageClick() {
  App().Dialogs().ShellOpen(HomePageAddress);
}

}  // namespace korvane
