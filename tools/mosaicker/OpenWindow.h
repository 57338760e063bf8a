#pragma once

#include <string>

// Opens the Images Combiner window, with the task file chosen when one is given, and runs it
// until it is closed. Returns the exit status.
int OpenMosaickerWindow(int& argc, char** argv, const std::string& taskFile);
