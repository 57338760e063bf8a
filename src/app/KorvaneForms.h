#pragma once

#include "dialogs/TfrmAbout.h"
#include "dialogs/TfrmConvert.h"
#include "main/TForm1.h"
#include "retry/TfrmFlt.h"
#include "settings/TfrmOptions.h"

namespace korvane {

// The program's windows, made once at start-up in this order (the main window first, so it is
// the application's main form) and wired together: the main window's menu opens the others.
// They live until the program ends; the main window goes last, after the dialogs.
struct KorvaneForms {
  explicit KorvaneForms(TApplication& app);

  TForm1 Form1;
  TfrmAbout frmAbout;
  TfrmConvert frmConvert;
  TfrmOptions frmOptions;
  TfrmFlt frmFlt;
};

}  // namespace korvane
