#pragma once

#include <string>

#include "platform/ExitStatus.h"

namespace korvane {

// Opens the Images Combiner window, with the task file chosen when one is given, and runs it
// until it is closed. A build without windows says so and answers BadCommandLine.
ExitStatus OpenMosaickerWindow(int& argc, char** argv, const std::string& taskFile);

}  // namespace korvane
