#include <iostream>
#include <string>
#include <vector>

#include "stitch/MosaickerCommand.h"

int main(int argc, char** argv) {
  using namespace korvane;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const MosaickerArguments arguments = ParseMosaickerArguments(args);
  switch (arguments.What) {
    case MosaickerArguments::Action::Help:
      std::cout << MosaickerUsage();
      return MosaickerComplete;
    case MosaickerArguments::Action::Invalid:
      std::cerr << "mosaicker: " << arguments.Problem << "\n" << MosaickerUsage();
      return MosaickerBadCommandLine;
    case MosaickerArguments::Action::Window:
      std::cerr << "mosaicker: this build has no window; give a task file.\n";
      return MosaickerBadCommandLine;
    case MosaickerArguments::Action::Stitch:
      break;
  }
  return RunMosaickerStitch(arguments, std::cout, std::cerr);
}
