// pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]: the panorama viewer's window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "KorvaneVersion.h"
#include "platform/ExitStatus.h"
#include "viewer/qt/PanoramaWindow.h"

namespace {

constexpr const char* Usage =
    "usage: pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]\n"
    "       pictoscope --help | --version\n"
    "\n"
    "Shows a panorama to look around in: a stitched JPEG, a download task (its tiles, also\n"
    "while it downloads) or a folder of tiles. See man pictoscope for the keys.\n";

}  // namespace

int main(int argc, char** argv) {
  // --help and --version answer on the terminal without opening a window (or needing a display).
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(Usage, stdout);
    return korvane::ExitCode(korvane::ExitStatus::Complete);
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("pictoscope %s\n", korvane::ProductVersion);
    return korvane::ExitCode(korvane::ExitStatus::Complete);
  }
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 2) {
    std::fputs(Usage, stderr);
    return korvane::ExitCode(korvane::ExitStatus::BadCommandLine);
  }
  korvane::viewer::PanoramaWindow window;
  window.show();
  if (arguments.size() == 2) window.Open(arguments[1]);
  return QApplication::exec();
}
