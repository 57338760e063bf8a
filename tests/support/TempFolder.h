#pragma once

#include <string>

namespace korvane::test {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes. Path() ends with "/".
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A temporary program folder: a copy of the built program folder's data (ini/ without
// config.ini, help/, blankimg/), installed as ProgramFolder() for the object's life.
class TempProgramFolder {
 public:
  TempProgramFolder();
  ~TempProgramFolder();

  const std::string& Path() const { return folder_.Path(); }

  // Writes ini/config.ini with the given content (lines as they should stand in the file).
  void WriteConfig(const std::string& content) const;

 private:
  TempFolder folder_;
};

}  // namespace korvane::test
