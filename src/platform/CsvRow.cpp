#include "platform/CsvRow.h"

#include "platform/TextTrim.h"

namespace korvane {
namespace {

constexpr char Quote = '"';
constexpr char Separator = ',';

std::string QuotedWhenNeeded(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted(1, Quote);
  for (const char c : text) {
    if (c == Quote) quoted += Quote;
    quoted += c;
  }
  return quoted + Quote;
}

}  // namespace

std::vector<std::string> SplitCsvRow(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t at = 0;
  while (true) {
    std::string field;
    const std::size_t first = line.find_first_not_of(" \t", at);
    if (first != std::string_view::npos && line[first] == Quote) {
      std::size_t i = first + 1;
      for (; i < line.size(); ++i) {
        if (line[i] != Quote) {
          field.push_back(line[i]);
        } else if (i + 1 < line.size() && line[i + 1] == Quote) {
          field.push_back(Quote);
          ++i;
        } else {
          ++i;
          break;
        }
      }
      at = i;
    }
    const std::size_t comma = line.find(Separator, at);
    field += line.substr(at, comma - at);
    fields.emplace_back(TrimBlanks(field));
    if (comma == std::string_view::npos) break;
    at = comma + 1;
  }
  return fields;
}

std::string JoinCsvRow(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size(); ++i)
    line += (i ? "," : "") + QuotedWhenNeeded(fields[i]);
  return line;
}

}  // namespace korvane
