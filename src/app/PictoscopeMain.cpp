// pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]: the panorama viewer's window.
#include <QApplication>
#include <cstdio>
#include <cstring>

#include "viewer/qt/PanoramaWindow.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  const QStringList arguments = QApplication::arguments();
  if (arguments.size() > 2 ||
      (arguments.size() == 2 && (arguments[1] == "--help" || arguments[1] == "-h"))) {
    std::fprintf(stderr, "usage: pictoscope [FILE.jpg | TASK.krvn | TILEFOLDER]\n");
    return arguments.size() > 2 ? 2 : 0;
  }
  korvane::viewer::PanoramaWindow window;
  window.show();
  if (arguments.size() == 2) window.Open(arguments[1]);
  return QApplication::exec();
}
