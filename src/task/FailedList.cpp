#include "task/FailedList.h"

namespace korvane {

FailedTile SplitFailedLine(const std::string& line) {
  size_t bar = line.find('|');
  if (bar == std::string::npos) return {"", line};
  return {line.substr(0, bar), line.substr(bar + 1)};
}

std::string FailedLine(const std::string& path, const std::string& url) {
  return path + "|" + url;
}

}  // namespace korvane
