#include "mosaicker/OpenWindow.h"

#include <exception>
#include <iostream>

#if KORVANE_MOSAICKER_WINDOW
#include "combine/window/CombinerWindow.h"
#include "ui/qt/TQtRuntime.h"
#endif

namespace korvane {

#if KORVANE_MOSAICKER_WINDOW

ExitStatus OpenMosaickerWindow(int& argc, char** argv, const std::string& taskFile) {
  TQtRuntime runtime(argc, argv);
  TApplication& app = runtime.Application();
  app.SetTitle("Images Combiner");
  try {
    CombinerWindow window(app);
    if (!taskFile.empty()) window.SelectTask(taskFile);
    window.Show();
    app.Run();
  } catch (const std::exception& error) {
    app.HandleException(error);
    return ExitStatus::Error;
  }
  return ExitStatus::Complete;
}

#else

// Built without Qt: the command line still combines, only the window is missing.
ExitStatus OpenMosaickerWindow(int&, char**, const std::string&) {
  std::cerr << "mosaicker: this build has no window; give a task file.\n";
  return ExitStatus::BadCommandLine;
}

#endif

}  // namespace korvane
