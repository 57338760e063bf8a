// A failed-tile list as the re-download reads it: lines at any line end, each split at its
// first "|"; a split line joins back to itself.
#include <cstdlib>

#include "FuzzTarget.h"
#include "platform/TextFile.h"
#include "task/FailedList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  for (const std::string& line : SplitLines(fuzz::AsText(data, size))) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    const FailedTile tile = SplitFailedLine(line);
    if (line.find('|') != std::string::npos && FailedLine(tile.File, tile.Address) != line)
      std::abort();
  }
  return 0;
}
