#include <QGuiApplication>
#include <cstdio>
#include <cstring>
#include <exception>

#include "KorvaneVersion.h"
#include "korvane/KorvaneForms.h"
#include "platform/ExitStatus.h"
#include "ui/qt/TQtRuntime.h"

namespace {

constexpr const char* Usage =
    "usage: korvane [Qt options]\n"
    "       korvane --help | --version\n"
    "\n"
    "Opens the Korvane window, which downloads the image tiles of Street View panoramas.\n"
    "Qt's own options, such as -platform NAME, are passed to Qt. See man korvane for more.\n";

// --help and --version answer on the terminal without opening a window (or needing a display).
bool AnsweredOnTerminal(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      std::fputs(Usage, stdout);
      return true;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("korvane %s\n", korvane::ProductVersion);
      return true;
    }
  }
  return false;
}

}  // namespace

// The desktop program: the windows on Qt. Besides --help and --version it reads no command line
// of its own (Qt takes the options it knows, such as -platform).
int main(int argc, char** argv) {
  if (AnsweredOnTerminal(argc, argv)) return korvane::ExitCode(korvane::ExitStatus::Complete);
  korvane::TQtRuntime runtime(argc, argv);
  // Lets the desktop match the windows to korvane.desktop (and so to its icon).
  QGuiApplication::setDesktopFileName("korvane");
  korvane::TApplication& app = runtime.Application();
  try {
    korvane::KorvaneForms forms(app);
    forms.mainWindow.Show();
    app.Run();
  } catch (const std::exception& error) {
    // A failure while the windows are made ends the program after the error box.
    app.HandleException(error);
    return korvane::ExitCode(korvane::ExitStatus::Error);
  }
  return korvane::ExitCode(korvane::ExitStatus::Complete);
}
