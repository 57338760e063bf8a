#pragma once

#include <string>

namespace korvane {

// One line of a failed-tile list: the tile's file, "|", the tile's address.
struct FailedTile {
  std::string File;
  std::string Address;
};

// Splits at the first "|"; a line without one gives an empty file and the whole line as the
// address.
FailedTile SplitFailedLine(const std::string& line);

// path + "|" + url.
std::string FailedLine(const std::string& path, const std::string& url);

}  // namespace korvane
