#include <iostream>
#include <string>
#include <vector>

#include "KorvaneVersion.h"
#include "mosaicker/MosaickerCommand.h"
#include "mosaicker/OpenWindow.h"

// The images combiner: the command line joins a task's tiles; no argument (or --window) opens
// the window. The main window's Tools > Images Combiner starts it as `mosaicker --window TASK`.
int main(int argc, char** argv) {
  using namespace korvane;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const MosaickerArguments arguments = ParseMosaickerArguments(args);
  switch (arguments.What) {
    case MosaickerArguments::Action::Help:
      std::cout << MosaickerUsage();
      return ExitCode(ExitStatus::Complete);
    case MosaickerArguments::Action::Version:
      std::cout << "mosaicker " << ProductVersion << '\n';
      return ExitCode(ExitStatus::Complete);
    case MosaickerArguments::Action::Invalid:
      std::cerr << "mosaicker: " << arguments.Problem << "\n" << MosaickerUsage();
      return ExitCode(ExitStatus::BadCommandLine);
    case MosaickerArguments::Action::Window: {
      int qtArgc = 1;
      return ExitCode(OpenMosaickerWindow(qtArgc, argv, arguments.TaskFile));
    }
    case MosaickerArguments::Action::Views:
      return ExitCode(RunMosaickerViews(arguments, std::cout, std::cerr));
    case MosaickerArguments::Action::Combine:
      break;
  }
  return ExitCode(RunMosaickerCombine(arguments, std::cout, std::cerr));
}
