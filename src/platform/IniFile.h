#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/FileSystem.h"

namespace korvane {

using IniKeyValue = std::pair<std::string, std::string>;

// An INI file read and written key by key, with the rules of the Windows profile functions:
// section and key names match without regard to letter case; anything absent (key, section,
// file) yields the caller's default; only the first "=" of a line splits name and value; a
// text value is read as at most MaxIniValueLength characters. Every call opens the file
// afresh, so nothing is cached between calls and another writer's change is seen at once.
class TIniFile {
 public:
  static constexpr size_t MaxIniValueLength = 2047;

  // access: who may read the file when a write creates it (Private for one holding a password).
  explicit TIniFile(std::string path, NewFileAccess access = NewFileAccess::Shared)
      : path_(std::move(path)), access_(access) {}

  const std::string& FileName() const { return path_; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;

  // The text value converted: "0x"/"0X" followed by at least one character is hexadecimal,
  // anything else the strict integer form; a text that does not convert gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;

  // Replaces the key's line, or adds the key at the end of its section, or adds the section at
  // the end of the file, or creates the file; every other line stays exactly as it was. The
  // new content replaces the file through a temporary file renamed into place. Raises
  // IniFileError ("Unable to write to " + path) when the file cannot be written, and also when
  // it exists but cannot be read: writing the one key alone would lose all the others.
  void WriteString(const std::string& section, const std::string& key, const std::string& value);
  void WriteInteger(const std::string& section, const std::string& key, int value);
  // Several keys of one section in one replacement of the file, as WriteString writes one: a
  // reader (or a killed program) sees all of them changed or none, never some.
  void WriteStrings(const std::string& section, const std::vector<IniKeyValue>& values);

 private:
  std::string path_;
  NewFileAccess access_;
};

}  // namespace korvane
