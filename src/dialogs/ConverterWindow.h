#pragma once

#include "ui/Controls.h"

namespace korvane {

// The converter tool window: degrees, minutes and seconds in, decimal degrees out. It stands
// alone (no link to a task) and is shown without blocking the main window; closing it only
// hides it, so its boxes keep their inputs and result between showings.
class ConverterWindow : public TForm {
 public:
  explicit ConverterWindow(TApplication& app);

  // "convert": the result replaces resultEdit; degrees or minutes that are not whole numbers show
  // "Input Error." and leave resultEdit as it was.
  void ConvertClick();

  TGroupBox inputGroup{this, "inputGroup"};
  TEdit degreesEdit{&inputGroup, "degreesEdit"};
  TEdit minutesEdit{&inputGroup, "minutesEdit"};
  TEdit secondsEdit{&inputGroup, "secondsEdit"};
  TButton convertButton{this, "convertButton", "convert"};
  TGroupBox resultGroup{this, "resultGroup"};
  TEdit resultEdit{&resultGroup, "resultEdit"};
};

}  // namespace korvane
