#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>
#include <vector>

#include "platform/Paths.h"

namespace korvane {
namespace {

std::mutex folderMutex;
std::string folderOverride;

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return "./";
  return ExtractFilePath(std::string(buffer.data(), static_cast<size_t>(length)));
}

}  // namespace

std::string ProgramFolder() {
  std::lock_guard<std::mutex> lock(folderMutex);
  if (!folderOverride.empty()) return folderOverride;
  static const std::string executableFolder = ExecutableFolder();
  return executableFolder;
}

void SetProgramFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(folderMutex);
  folderOverride = folder.empty() ? folder : IncludeTrailingPathDelimiter(folder);
}

std::string ConfigFilePath() {
  return ProgramFolder() + "ini/config.ini";
}

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return ExcludeTrailingPathDelimiter(home);
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr) {
    return ExcludeTrailingPathDelimiter(entry->pw_dir);
  }
  return "/";
}

}  // namespace korvane
