#include "OpenWindow.h"

#include <exception>

#include "mosaicker/MosaickerWindow.h"
#include "ui/qt/TQtRuntime.h"

int OpenMosaickerWindow(int& argc, char** argv, const std::string& taskFile) {
  korvane::TQtRuntime runtime(argc, argv);
  korvane::TApplication& app = runtime.Application();
  app.SetTitle("Images Combiner");
  try {
    korvane::MosaickerWindow window(app);
    if (!taskFile.empty()) window.SelectTask(taskFile);
    window.Show();
    app.Run();
  } catch (const std::exception& error) {
    app.HandleException(error);
    return 1;
  }
  return 0;
}
