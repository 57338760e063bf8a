#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "download/TDownThread.h"
#include "download/TDownThreadHost.h"
#include "task/MDTask.h"
#include "task/TaskParameters.h"
#include "ui/Controls.h"

namespace korvane {

// The main window: the task's input boxes, the Start/Stop button, the log window, the menu,
// and the program-wide state of the running task. It is the host of the download workers: their
// lines and their end reach it on the main thread.
//
// States (shown by BitBtn1's caption): Idle ("Start", timer off), Looking up ("Start", inside
// the start sequence's lookup), Running and Stopping ("Stop", timer on). The end sequence of
// Timer1Timer is the only way back to Idle from Running or Stopping.
class TForm1 : public TForm, public TDownThreadHost {
 public:
  explicit TForm1(TApplication& app);
  ~TForm1() override;

  // --- controls, containers first ---
  TMainMenu MainMenu1{this, "MainMenu1"};
  TMenuItem File1{&MainMenu1, "File1", "&File"};
  TMenuItem Exit1{&File1, "Exit1", "E&xit"};
  TMenuItem Options1{&MainMenu1, "Options1", "&Options"};
  TMenuItem Options2{&Options1, "Options2", "Options..."};
  TMenuItem Misc1{&MainMenu1, "Misc1", "&Misc"};
  TMenuItem Convert1{&Misc1, "Convert1", "Convert \"Degrees,Minutes,Seconds\"  to \"Degrees\"..."};
  TMenuItem N1{&Misc1, "N1", "-"};
  TMenuItem Viewlogfile1{&Misc1, "Viewlogfile1", "View log file"};
  TMenuItem N2{&Misc1, "N2", "-"};
  TMenuItem Redownloadfailedtiles1{&Misc1, "Redownloadfailedtiles1", "Re-download failed tiles"};
  TMenuItem Tools1{&MainMenu1, "Tools1", "&Tools"};
  TMenuItem ImagesViewer1{&Tools1, "ImagesViewer1", "Images Viewer"};
  TMenuItem N3{&Tools1, "N3", "-"};
  TMenuItem ImagesCombiner1{&Tools1, "ImagesCombiner1", "Images Combiner"};
  TMenuItem N4{&Tools1, "N4", "-"};
  TMenuItem dowloadfailedfiles1{&Tools1, "dowloadfailedfiles1", "re-dowload failed files"};
  TMenuItem Help1{&MainMenu1, "Help1", "&Help"};
  TMenuItem Usermanual1{&Help1, "Usermanual1", "User manual"};
  TMenuItem Homepage1{&Help1, "Homepage1", "Homepage"};
  TMenuItem N5{&Help1, "N5", "-"};
  TMenuItem About1{&Help1, "About1", "About..."};

  TStatusBar StatusBar1{this, "StatusBar1"};
  TPanel Panel1{this, "Panel1"};
  TPanel Panel2{&Panel1, "Panel2"};
  TLabel Label16{&Panel2, "Label16", "Task name:"};
  TEdit EditTaskName{&Panel2, "EditTaskName", "newtask.krvn"};
  TButton Button4{&Panel2, "Button4", "Open task ..."};
  TLabel Label1{&Panel2, "Label1", "Latitude:"};
  TEdit EditLat{&Panel2, "EditLat"};
  TLabel Label3{&Panel2, "Label3", "Longitude:"};
  TEdit EditLong{&Panel2, "EditLong"};
  TLabel Label2{&Panel2, "Label2", "Zoom level: "};
  TEdit EditZoom{&Panel2, "EditZoom", "3"};
  TUpDown UpDown1{&Panel2, "UpDown1"};
  TLabel Label6{&Panel2, "Label6", "Path to save:"};
  TEdit Edit6{&Panel2, "Edit6"};
  TButton Button1{&Panel2, "Button1", "..."};
  TLabel LabelTotalxy{&Panel2, "LabelTotalxy"};
  TBitBtn BitBtn1{&Panel2, "BitBtn1", "Start"};
  TPanel Panel3{&Panel1, "Panel3"};
  TMemo Memo2{&Panel3, "Memo2"};
  TPanel Panel4{&Panel1, "Panel4"};
  TMemo Memo1{&Panel4, "Memo1"};
  TTimer Timer1{this, "Timer1"};
  TOpenDialog OpenDialog1{this, "OpenDialog1"};

  // --- fields ---
  std::string ConfigFile;
  std::string HelpFile;
  std::string HomePageAddress;
  std::string ContactAddress;
  std::string DefaultSavePath;
  int RunningThreads = 0;

  // --- the running task (main thread only) ---
  std::array<std::unique_ptr<TDownThread>, MaxThreadCount> DownThreads;
  std::shared_ptr<TaskParameters> CurrentParams;
  std::unique_ptr<MDTask> CurrentTask;
  int TimerTicks = 0;

  // --- handlers ---
  void FormShow();
  void Button1Click();
  void BitBtn1Click();
  void Timer1Timer();
  void LoadParametersfromprojectfilel1Click();
  void Viewlogfile1Click();
  void Exit1Click();
  void ImagesViewer1Click();
  void ImagesCombiner1Click();
  void Usermanual1Click();
  void Homepage1Click();

  // --- services the workers run on the main thread ---
  void AddLogLine(const std::string& line) override;
  void AddFailedLine(const std::string& line) override;
  void ThreadDone() override;

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
  void StartSequence();
  void StopSequence();
  void SaveTaskState();
  void WriteWorkerPosition(int index);
  void EndSequence();
  void CloseQuery(bool& canClose);
  void WaitForWorkersAfterTermination();

  std::shared_ptr<TaskParameters> currentTaskParams_;  // keeps CurrentTask's Params alive
  bool starting_ = false;  // the start sequence is running (its lookup processes messages)
  bool closing_ = false;   // the window waits for a running task to end before closing
};

}  // namespace korvane
