#pragma once

#include "ui/Controls.h"

namespace korvane {

// The converter tool window: degrees, minutes and seconds in, decimal degrees out. It stands
// alone (no link to a task) and is shown without blocking the main window; closing it only
// hides it, so its boxes keep their inputs and result between showings.
class TfrmConvert : public TForm {
 public:
  explicit TfrmConvert(TApplication& app);

  // "convert": the result replaces Edit4; degrees or minutes that are not whole numbers show
  // "Input Error." and leave Edit4 as it was.
  void Button1Click();

  TGroupBox GroupBox1{this, "GroupBox1"};
  TEdit Edit1{&GroupBox1, "Edit1"};
  TEdit Edit2{&GroupBox1, "Edit2"};
  TEdit Edit3{&GroupBox1, "Edit3"};
  TButton Button1{this, "Button1", "convert"};
  TGroupBox GroupBox2{this, "GroupBox2"};
  TEdit Edit4{&GroupBox2, "Edit4"};
};

}  // namespace korvane
