#include "ui/DialogFilter.h"

namespace korvane {

namespace {

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::vector<TFilterEntry> ParseDialogFilter(const std::string& filter) {
  std::vector<TFilterEntry> entries;
  if (filter.empty()) return entries;
  std::vector<std::string> parts = Split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    TFilterEntry entry{parts[i], {}};
    if (i + 1 < parts.size()) {
      for (std::string& pattern : Split(parts[i + 1], ';')) {
        if (!pattern.empty()) entry.Patterns.push_back(std::move(pattern));
      }
    }
    if (entry.Patterns.empty()) entry.Patterns.push_back("*");
    entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace korvane
