#pragma once

#include <string>

#include "viewer/TileCanvas.h"

namespace korvane::viewer {

// The tiles a task file describes: its zoom level, grid, panorama size and tile folder (the
// folder beside it named after the task). Raises korvane::Exception with a message for people
// when the file cannot be read or describes no panorama. Does not look at the tile folder.
TileLayout LayoutOfTask(const std::string& taskFilePath);

}  // namespace korvane::viewer
