#include <iostream>

#include "OpenWindow.h"
#include "stitch/MosaickerCommand.h"

int OpenMosaickerWindow(int&, char**, const std::string&) {
  std::cerr << "mosaicker: this build has no window; give a task file.\n";
  return korvane::MosaickerBadCommandLine;
}
