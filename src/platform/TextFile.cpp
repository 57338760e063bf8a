#include "platform/TextFile.h"

#include "platform/FileSystem.h"

namespace korvane {

TStringList SplitLines(std::string_view text) {
  TStringList lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      break;
    }
    lines.emplace_back(text.substr(start, end - start));
    start = end + 1;
    if (text[end] == '\r' && start < text.size() && text[start] == '\n') ++start;
  }
  return lines;
}

std::string JoinLines(const TStringList& lines) {
  std::string text;
  for (const std::string& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

TStringList LoadLines(const std::string& path) {
  return SplitLines(ReadFileBytes(path));
}

void SaveLines(const std::string& path, const TStringList& lines, NewFileAccess access) {
  WriteFileAtomically(path, JoinLines(lines), access);
}

}  // namespace korvane
