#include "task/SubstituteImage.h"

#include <filesystem>
#include <system_error>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "task/FailedList.h"

namespace korvane {
namespace {

// The file's bytes, or nothing when it cannot be read.
std::string BytesOrEmpty(const std::string& path) {
  try {
    return ReadFileBytes(path);
  } catch (const Exception&) {
    return "";
  }
}

}  // namespace

std::string SubstituteImagePath() {
  return ProgramFolder() + "blankimg/blank.jpg";
}

int TilesStillWanting(const std::vector<std::string>& failedLines) {
  const std::string substitute = BytesOrEmpty(SubstituteImagePath());
  int wanting = 0;
  for (const std::string& line : failedLines) {
    if (line.empty()) continue;
    const std::string file = SplitFailedLine(line).File;
    // A list may come from elsewhere: only a regular file of the substitute's size is read, so
    // a line naming a device or a huge file costs nothing.
    std::error_code error;
    const bool regular = !file.empty() && std::filesystem::is_regular_file(file, error);
    const auto size = regular ? std::filesystem::file_size(file, error) : 0;
    if (!regular || error || size == 0) {
      ++wanting;
    } else if (size == substitute.size() && BytesOrEmpty(file) == substitute) {
      ++wanting;
    }
  }
  return wanting;
}

}  // namespace korvane
