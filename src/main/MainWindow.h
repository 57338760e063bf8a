#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "platform/KeptTexts.h"
#include "session/DownloadSession.h"
#include "session/SessionHost.h"
#include "ui/Controls.h"

namespace korvane {

// The main window: the task's input boxes, the Start/Stop button, the log window and the menu.
// It is a view of its download session: Start turns the boxes into a start request, and what
// the session reports (lines, the start, the end, messages) is shown here.
//
// States (shown by startStopButton's caption): Idle ("Start", timer off), Looking up ("Start",
// inside the session's lookup), Running and Stopping ("Stop", timer on). The session's end
// sequence, run from the timer's tick, is the only way back to Idle from Running or Stopping.
class MainWindow : public TForm, private SessionHost {
 public:
  explicit MainWindow(TApplication& app);
  ~MainWindow() override;

  // --- controls, containers first ---
  TMainMenu mainMenu{this, "mainMenu"};
  TMenuItem fileMenu{&mainMenu, "fileMenu", "&File"};
  TMenuItem exitItem{&fileMenu, "exitItem", "E&xit"};
  TMenuItem optionsMenu{&mainMenu, "optionsMenu", "&Options"};
  TMenuItem optionsItem{&optionsMenu, "optionsItem", "Options..."};
  TMenuItem miscMenu{&mainMenu, "miscMenu", "&Misc"};
  TMenuItem converterItem{&miscMenu, "converterItem",
                          "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"..."};
  TMenuItem miscSeparator1{&miscMenu, "miscSeparator1", "-"};
  TMenuItem viewLogFileItem{&miscMenu, "viewLogFileItem", "View log file"};
  TMenuItem miscSeparator2{&miscMenu, "miscSeparator2", "-"};
  TMenuItem redownloadFailedTilesItem{&miscMenu, "redownloadFailedTilesItem",
                                      "Re-download failed tiles"};
  TMenuItem toolsMenu{&mainMenu, "toolsMenu", "&Tools"};
  TMenuItem imagesViewerItem{&toolsMenu, "imagesViewerItem", "Images Viewer"};
  TMenuItem toolsSeparator1{&toolsMenu, "toolsSeparator1", "-"};
  TMenuItem imagesCombinerItem{&toolsMenu, "imagesCombinerItem", "Images Combiner"};
  TMenuItem toolsSeparator2{&toolsMenu, "toolsSeparator2", "-"};
  TMenuItem redownloadFailedFilesItem{&toolsMenu, "redownloadFailedFilesItem",
                                      KeptText::RedownloadFailedFilesItem};
  TMenuItem helpMenu{&mainMenu, "helpMenu", "&Help"};
  TMenuItem userManualItem{&helpMenu, "userManualItem", "User manual"};
  TMenuItem homePageItem{&helpMenu, "homePageItem", "Homepage"};
  TMenuItem helpSeparator{&helpMenu, "helpSeparator", "-"};
  TMenuItem aboutItem{&helpMenu, "aboutItem", "About..."};

  TStatusBar statusBar{this, "statusBar"};
  TPanel clientPanel{this, "clientPanel"};
  TPanel inputPanel{&clientPanel, "inputPanel"};
  TLabel taskNameLabel{&inputPanel, "taskNameLabel", "Task name:"};
  TEdit taskNameEdit{&inputPanel, "taskNameEdit", DefaultTaskName};
  TButton openTaskButton{&inputPanel, "openTaskButton", "Open task ..."};
  TLabel latitudeLabel{&inputPanel, "latitudeLabel", "Latitude:"};
  TEdit latitudeEdit{&inputPanel, "latitudeEdit"};
  TLabel longitudeLabel{&inputPanel, "longitudeLabel", "Longitude:"};
  TEdit longitudeEdit{&inputPanel, "longitudeEdit"};
  TLabel zoomLabel{&inputPanel, "zoomLabel", "Zoom level: "};
  TEdit zoomEdit{&inputPanel, "zoomEdit", DefaultZoomText};
  TUpDown zoomUpDown{&inputPanel, "zoomUpDown"};
  TLabel savePathLabel{&inputPanel, "savePathLabel", "Path to save:"};
  TEdit savePathEdit{&inputPanel, "savePathEdit"};
  TButton browseFolderButton{&inputPanel, "browseFolderButton", "..."};
  TLabel totalTilesLabel{&inputPanel, "totalTilesLabel"};
  TBitBtn startStopButton{&inputPanel, "startStopButton", "Start"};
  TPanel failedListPanel{&clientPanel, "failedListPanel"};
  TMemo failedListMemo{&failedListPanel, "failedListMemo"};
  TPanel logPanel{&clientPanel, "logPanel"};
  TMemo logMemo{&logPanel, "logMemo"};
  TTimer progressTimer{this, "progressTimer"};
  TOpenDialog openTaskDialog{this, "openTaskDialog"};

  // --- fields ---
  std::string ConfigFile;
  std::string HelpFile;
  std::string HomePageAddress;
  std::string ContactAddress;
  std::string DefaultSavePath;

  // The task this window runs (main thread only).
  DownloadSession& Session() { return session_; }
  const DownloadSession& Session() const { return session_; }

  // --- handlers ---
  void FormShow();
  void BrowseFolderClick();
  void StartStopClick();
  void ProgressTimerTick();
  void OpenTaskClick();
  void ViewLogFileClick();
  void ExitClick();
  void ImagesViewerClick();
  void ImagesCombinerClick();
  void UserManualClick();
  void HomePageClick();

  // True from the creation of the workers until the end sequence has destroyed them.
  bool TaskRunning() const;

  // The other windows, opened from the menu; set by whoever creates them.
  std::function<void()> ShowOptions;
  std::function<void()> ShowConverter;
  std::function<void()> ShowRetry;
  std::function<void()> ShowAbout;

  // Runs at the end of every end sequence (after the last message), for korvane-cli.
  std::function<void()> OnTaskEnded;

 private:
  void LayOut();
  void WireHandlers();
  StartRequest TypedRequest() const;
  void CloseQuery(bool& canClose);
  void WaitForWorkersAfterTermination();

  // SessionHost
  void LogReplaced(const TStringList& lines) override;
  void LogLineAdded(const std::string& line) override;
  void FailedListReplaced(const TStringList& lines) override;
  void FailedLineAdded(const std::string& line) override;
  void ShowMessage(const std::string& text) override;
  void TaskStarted(int totalTiles) override;
  void ProgressChanged(const SessionProgress& progress) override;
  void TaskEnded(const std::exception* error) override;
  void ServeUntil(const std::function<bool()>& done) override;
  bool Quitting() const override;
  void CallSoon(std::function<void()> call) override;
  void LookupRunning(bool running) override;

  DownloadSession session_;
  // The request of the task file last opened: while the boxes still show it, Start asks for
  // its panorama id when it was started by id.
  StartRequest opened_;
  bool closing_ = false;  // the window waits for a running task to end before closing
};

}  // namespace korvane
