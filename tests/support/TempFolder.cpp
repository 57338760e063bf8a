#include "support/TempFolder.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"

namespace korvane::test {

TempFolder::TempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "korvane-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

TempProgramFolder::TempProgramFolder() {
  namespace fs = std::filesystem;
  const fs::path source(KORVANE_PROGRAM_DIR);
  for (const char* sub : {"ini", "help", "blankimg"}) {
    fs::create_directories(fs::path(Path()) / sub);
    if (!fs::exists(source / sub)) continue;
    for (const auto& entry : fs::directory_iterator(source / sub)) {
      if (entry.path().filename() == "config.ini") continue;
      fs::copy(entry.path(), fs::path(Path()) / sub / entry.path().filename(),
               fs::copy_options::recursive);
    }
  }
  SetProgramFolder(Path());
}

TempProgramFolder::~TempProgramFolder() {
  SetProgramFolder("");
}

void TempProgramFolder::WriteConfig(const std::string& content) const {
  WriteFileBytes(Path() + "ini/config.ini", content);
}

}  // namespace korvane::test
