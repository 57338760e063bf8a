#pragma once

#include "ui/Controls.h"

namespace korvane::test {

// A small window built from model controls the way the program's forms are.
struct SampleForm : TForm {
  explicit SampleForm(TApplication& app) : TForm(app, "sampleWindow") {
    SetCaption("Korvane 3.0");
    SetClientSize(520, 480);
    SetPosition(poScreenCenter);
    SetBorderWidth(4);
    miscMenu.SetVisible(false);
    inputPanel.SetHeight(208);
    inputPanel.SetAlign(alTop);
    taskNameLabel.SetBounds(12, 20, 60, 13);
    taskNameEdit.SetBounds(86, 16, 309, 21);
    zoomEdit.SetBounds(438, 56, 35, 21);
    zoomUpDown.SetBounds(473, 56, 15, 21);
    zoomUpDown.SetMin(1);
    zoomUpDown.SetMax(5);
    zoomUpDown.SetPosition(3);
    zoomUpDown.SetAssociate(&zoomEdit);
    browseFolderButton.SetBounds(438, 99, 51, 25);
    browseFolderButton.SetHint("Click to select path");
    startStopButton.SetBounds(352, 146, 129, 41);
    startStopButton.SetDefault(true);
    startStopButton.SetFont({.Height = 13, .Bold = true});
    useProxyCheckBox.SetBounds(12, 150, 150, 17);
    homePageLink.SetBounds(12, 180, 200, 13);
    homePageLink.SetFont({.Underline = true, .Color = clGreen});
    homePageLink.SetCursor(crHandPoint);
    logPanel.SetBevelInner(bvLowered);
    logPanel.SetBorderWidth(3);
    logPanel.SetAlign(alClient);
    logMemo.SetAlign(alClient);
    logMemo.SetReadOnly(true);
    logMemo.SetScrollBars(ssBoth);
    logMemo.SetBorderStyle(bsNone);
    logMemo.SetColor(clInfoBk);
    logMemo.SetFont({.Height = 13, .Color = clGreen});
    logMemo.SetHint("Double click to view log in notepad");
    logMemo.Lines.Add("[log window]");
    statusBar.SetSimpleText("Download StreetView images from Google Maps to your PC.");
  }

  TMainMenu mainMenu{this, "mainMenu"};
  TMenuItem fileMenu{&mainMenu, "fileMenu", "&File"};
  TMenuItem exitItem{&fileMenu, "exitItem", "E&xit"};
  TMenuItem miscMenu{&mainMenu, "miscMenu", "&Misc"};
  TMenuItem viewLogFileItem{&miscMenu, "viewLogFileItem", "View log file"};
  TMenuItem miscSeparator1{&miscMenu, "miscSeparator1", "-"};
  TPanel inputPanel{this, "inputPanel"};
  TLabel taskNameLabel{&inputPanel, "taskNameLabel", "Task name:"};
  TEdit taskNameEdit{&inputPanel, "taskNameEdit", "newtask.krvn"};
  TEdit zoomEdit{&inputPanel, "zoomEdit", "3"};
  TUpDown zoomUpDown{&inputPanel, "zoomUpDown"};
  TButton browseFolderButton{&inputPanel, "browseFolderButton", "..."};
  TBitBtn startStopButton{&inputPanel, "startStopButton", "Start"};
  TCheckBox useProxyCheckBox{&inputPanel, "useProxyCheckBox", "Use proxy server"};
  TLabel homePageLink{&inputPanel, "homePageLink", "http://korvane.example.org/"};
  TStatusBar statusBar{this, "statusBar"};
  TPanel logPanel{this, "logPanel"};
  TMemo logMemo{&logPanel, "logMemo"};
};

}  // namespace korvane::test
