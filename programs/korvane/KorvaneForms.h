#pragma once

#include "dialogs/AboutWindow.h"
#include "dialogs/ConverterWindow.h"
#include "main/MainWindow.h"
#include "retry/window/RetryWindow.h"
#include "settings/OptionsWindow.h"

namespace korvane {

// The program's windows, made once at start-up in this order (the main window first, so it is
// the application's main form) and wired together: the main window's menu opens the others.
// They live until the program ends; the main window goes last, after the dialogs.
struct KorvaneForms {
  explicit KorvaneForms(TApplication& app);

  MainWindow mainWindow;
  AboutWindow aboutWindow;
  ConverterWindow converterWindow;
  OptionsWindow optionsWindow;
  RetryWindow retryWindow;
};

}  // namespace korvane
