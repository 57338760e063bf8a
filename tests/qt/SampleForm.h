#pragma once

#include "ui/Controls.h"

namespace korvane::test {

// A small window built from model controls the way the program's forms are.
struct SampleForm : TForm {
  explicit SampleForm(TApplication& app) : TForm(app, "Form1") {
    SetCaption("Korvane 3.0");
    SetClientSize(520, 480);
    SetPosition(poScreenCenter);
    SetBorderWidth(4);
    Misc1.SetVisible(false);
    Panel2.SetHeight(208);
    Panel2.SetAlign(alTop);
    Label16.SetBounds(12, 20, 60, 13);
    EditTaskName.SetBounds(86, 16, 309, 21);
    EditZoom.SetBounds(438, 56, 35, 21);
    UpDown1.SetBounds(473, 56, 15, 21);
    UpDown1.SetMin(1);
    UpDown1.SetMax(5);
    UpDown1.SetPosition(3);
    UpDown1.SetAssociate(&EditZoom);
    Button1.SetBounds(438, 99, 51, 25);
    Button1.SetHint("Click to select path");
    BitBtn1.SetBounds(352, 146, 129, 41);
    BitBtn1.SetDefault(true);
    BitBtn1.SetFont({.Height = 13, .Bold = true});
    CheckBox1.SetBounds(12, 150, 150, 17);
    Label4.SetBounds(12, 180, 200, 13);
    Label4.SetFont({.Underline = true, .Color = clGreen});
    Label4.SetCursor(crHandPoint);
    Panel4.SetBevelInner(bvLowered);
    Panel4.SetBorderWidth(3);
    Panel4.SetAlign(alClient);
    Memo1.SetAlign(alClient);
    Memo1.SetReadOnly(true);
    Memo1.SetScrollBars(ssBoth);
    Memo1.SetBorderStyle(bsNone);
    Memo1.SetColor(clInfoBk);
    Memo1.SetFont({.Height = 13, .Color = clGreen});
    Memo1.SetHint("Double click to view log in notepad");
    Memo1.Lines.Add("[log window]");
    StatusBar1.SetSimpleText("Download StreetView images from Google Maps to your PC.");
  }

  TMainMenu MainMenu1{this, "MainMenu1"};
  TMenuItem File1{&MainMenu1, "File1", "&File"};
  TMenuItem Exit1{&File1, "Exit1", "E&xit"};
  TMenuItem Misc1{&MainMenu1, "Misc1", "&Misc"};
  TMenuItem Viewlogfile1{&Misc1, "Viewlogfile1", "View log file"};
  TMenuItem N1{&Misc1, "N1", "-"};
  TPanel Panel2{this, "Panel2"};
  TLabel Label16{&Panel2, "Label16", "Task name:"};
  TEdit EditTaskName{&Panel2, "EditTaskName", "newtask.krvn"};
  TEdit EditZoom{&Panel2, "EditZoom", "3"};
  TUpDown UpDown1{&Panel2, "UpDown1"};
  TButton Button1{&Panel2, "Button1", "..."};
  TBitBtn BitBtn1{&Panel2, "BitBtn1", "Start"};
  TCheckBox CheckBox1{&Panel2, "CheckBox1", "Use proxy server"};
  TLabel Label4{&Panel2, "Label4", "http://korvane.example.org/"};
  TStatusBar StatusBar1{this, "StatusBar1"};
  TPanel Panel4{this, "Panel4"};
  TMemo Memo1{&Panel4, "Memo1"};
};

}  // namespace korvane::test
