#pragma once

#include <string>
#include <vector>

namespace korvane {

// The picture that stands in a tile's place when the tile cannot be had, shipped beside the
// program: program folder + "blankimg/blank.jpg".
std::string SubstituteImagePath();

// How many tiles of a failed-tile list are still not in: their file is missing or is still the
// substitute (a re-download that fetched a listed tile writes it over its substitute, but leaves
// the list as it was). Lines without a file name count as not in.
int TilesStillWanting(const std::vector<std::string>& failedLines);

}  // namespace korvane
