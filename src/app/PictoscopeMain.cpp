// pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]: the panorama viewer's window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "KorvaneVersion.h"
#include "viewer/qt/PanoramaWindow.h"

namespace {

constexpr const char* Usage =
    "usage: pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]\n"
    "       pictoscope --help | --version\n"
    "\n"
    "Shows a panorama to look around in: a stitched JPEG, a download task (its tiles, also\n"
    "while it downloads) or a folder of tiles. See man pictoscope for the keys.\n";

constexpr int ExitBadCommandLine = 2;

}  // namespace

int main(int argc, char** argv) {
  // --help and --version answer on the terminal without opening a window (or needing a display).
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::fputs(Usage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("pictoscope %s\n", korvane::ProductVersion);
    return 0;
  }
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 2) {
    std::fputs(Usage, stderr);
    return ExitBadCommandLine;
  }
  korvane::viewer::PanoramaWindow window;
  window.show();
  if (arguments.size() == 2) window.Open(arguments[1]);
  return QApplication::exec();
}
