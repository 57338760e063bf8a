#pragma once

#include <filesystem>
#include <string>

namespace korvane::test {

// The tile files (".jpg") in a task's tile folder; 0 when it does not exist.
inline int TileFiles(const std::string& folder) {
  int tiles = 0;
  if (!std::filesystem::exists(folder)) return 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    tiles += entry.path().extension() == ".jpg";
  return tiles;
}

}  // namespace korvane::test
