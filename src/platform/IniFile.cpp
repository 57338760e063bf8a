#include "platform/IniFile.h"

#include <strings.h>
#include <sys/stat.h>

#include <cerrno>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/TextTrim.h"

namespace korvane {
namespace {

// One line of the file with its own line end, so untouched lines are written back unchanged.
struct RawLine {
  std::string text;
  std::string ending;
};

std::vector<RawLine> SplitRawLines(const std::string& bytes) {
  std::vector<RawLine> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back({bytes.substr(start), ""});
      break;
    }
    size_t next = end + 1;
    if (bytes[end] == '\r' && next < bytes.size() && bytes[next] == '\n') ++next;
    lines.push_back({bytes.substr(start, end - start), bytes.substr(end, next - end)});
    start = next;
  }
  return lines;
}

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionOf(std::string_view line) {
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.size() < 2 || trimmed.front() != '[') return std::nullopt;
  size_t close = trimmed.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(trimmed.substr(1, close - 1));
}

// The key name of a "name=value" line, or nothing for a line without "=" or a comment.
std::optional<std::string_view> KeyOf(std::string_view line) {
  std::string_view trimmed = TrimBlanks(line);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return std::nullopt;
  return TrimBlanks(line.substr(0, equals));
}

std::string ValueOf(std::string_view line) {
  std::string_view value = TrimBlanks(line.substr(line.find('=') + 1));
  if (value.size() >= 2 && ((value.front() == '"' && value.back() == '"') ||
                            (value.front() == '\'' && value.back() == '\''))) {
    value = value.substr(1, value.size() - 2);
  }
  return std::string(value.substr(0, TIniFile::MaxIniValueLength));
}

std::optional<std::string> ReadFileIfAny(const std::string& path) {
  try {
    return ReadFileBytes(path);
  } catch (const Exception&) {
    return std::nullopt;
  }
}

// The lines of the file for a rewrite: none when there is no file, IniFileError when there is
// one that cannot be read.
std::vector<RawLine> LinesToRewrite(const std::string& path) {
  if (std::optional<std::string> bytes = ReadFileIfAny(path)) return SplitRawLines(*bytes);
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) throw IniFileError::ForPath(path);
  return {};
}

// Replaces the key's line, or adds the key at the end of its section, or adds the section at
// the end of the lines.
void SetKeyLine(std::vector<RawLine>& lines, const std::string& section, const std::string& key,
                const std::string& value) {
  const std::string keyLine = key + "=" + value;

  bool inSection = false;
  std::optional<size_t> insertAfter;  // last non-blank line of the wanted section
  bool written = false;
  for (size_t i = 0; i < lines.size() && !written; ++i) {
    if (auto name = SectionOf(lines[i].text)) {
      if (inSection) break;
      inSection = SameName(*name, section);
      if (inSection) insertAfter = i;
    } else if (inSection) {
      if (auto name = KeyOf(lines[i].text); name && SameName(*name, key)) {
        lines[i].text = keyLine;
        written = true;
      } else if (!TrimBlanks(lines[i].text).empty()) {
        insertAfter = i;
      }
    }
  }
  if (written) return;
  if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = "\r\n";
  if (insertAfter) {
    if (lines[*insertAfter].ending.empty()) lines[*insertAfter].ending = "\r\n";
    lines.insert(lines.begin() + static_cast<long>(*insertAfter) + 1, {keyLine, "\r\n"});
  } else {
    lines.push_back({"[" + section + "]", "\r\n"});
    lines.push_back({keyLine, "\r\n"});
  }
}

}  // namespace

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  std::optional<std::string> bytes = ReadFileIfAny(path_);
  if (!bytes) return defaultValue.substr(0, MaxIniValueLength);
  bool inSection = false;
  for (const RawLine& line : SplitRawLines(*bytes)) {
    if (auto name = SectionOf(line.text)) {
      inSection = SameName(*name, section);
    } else if (inSection) {
      if (auto name = KeyOf(line.text); name && SameName(*name, key)) return ValueOf(line.text);
    }
  }
  return defaultValue.substr(0, MaxIniValueLength);
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key,
                          int defaultValue) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text = "$" + text.substr(2);
  }
  return StrToIntDef(text, defaultValue);
}

void TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  WriteStrings(section, {{key, value}});
}

void TIniFile::WriteStrings(const std::string& section, const std::vector<IniKeyValue>& values) {
  std::vector<RawLine> lines = LinesToRewrite(path_);
  for (const auto& [key, value] : values)
    SetKeyLine(lines, section, key, value);
  std::string bytes;
  for (const RawLine& line : lines)
    bytes += line.text + line.ending;
  try {
    WriteFileAtomically(path_, bytes, access_);
  } catch (const Exception&) {
    throw IniFileError::ForPath(path_);
  }
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  WriteString(section, key, IntToStr(value));
}

}  // namespace korvane
