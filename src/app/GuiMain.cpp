#include <QGuiApplication>
#include <exception>

#include "app/KorvaneForms.h"
#include "ui/qt/TQtRuntime.h"

// The desktop program: the windows on Qt. It reads no command line of its own (Qt takes the
// options it knows, such as -platform).
int main(int argc, char** argv) {
  korvane::TQtRuntime runtime(argc, argv);
  // Lets the desktop match the windows to korvane.desktop (and so to its icon).
  QGuiApplication::setDesktopFileName("korvane");
  korvane::TApplication& app = runtime.Application();
  try {
    korvane::KorvaneForms forms(app);
    forms.Form1.Show();
    app.Run();
  } catch (const std::exception& error) {
    // A failure while the windows are made ends the program after the error box.
    app.HandleException(error);
    return 1;
  }
  return 0;
}
