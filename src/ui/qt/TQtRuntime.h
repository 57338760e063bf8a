#pragma once

#include <QApplication>
#include <memory>

#include "ui/TApplication.h"
#include "ui/qt/TQtBackend.h"
#include "ui/qt/TQtDialogs.h"

namespace korvane {

// Everything the desktop program needs to run its forms on Qt: the QApplication (unless one
// exists already, as in the GUI tests), the Qt dialogs titled with the application's title,
// the Qt backend and the application itself.
class TQtRuntime {
 public:
  TQtRuntime(int& argc, char** argv);
  ~TQtRuntime();

  TApplication& Application() { return *app_; }
  TQtDialogs& Dialogs() { return dialogs_; }

 private:
  std::unique_ptr<QApplication> qtApp_;
  TQtDialogs dialogs_;
  std::unique_ptr<TQtBackend> backend_;
  std::unique_ptr<TApplication> app_;
};

}  // namespace korvane
