#include "platform/ProgramFolder.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <vector>

#include "platform/Paths.h"

namespace korvane {
namespace {

constexpr const char* ProgramIniFolder = "ini/";
constexpr const char* UserSubfolder = "korvane/";
// The user's own folders hold the proxy password and the last lookup's answer (which says
// where the user looked): for their owner only.
constexpr mode_t UserFolderMode = 0700;

std::mutex folderMutex;
std::string folderOverride;

std::string ExecutableFolder() {
  std::vector<char> buffer(4096);
  ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (length <= 0) return "./";
  return ExtractFilePath(std::string(buffer.data(), static_cast<size_t>(length)));
}

// ini/ is writable, or missing from a folder the user may write (then everything happens as it
// always did there, including the error when ini/ cannot be found).
bool ProgramIniWritable(const std::string& programFolder) {
  const std::string ini = programFolder + ProgramIniFolder;
  if (access(ini.c_str(), F_OK) == 0) return access(ini.c_str(), W_OK | X_OK) == 0;
  return access(programFolder.c_str(), W_OK | X_OK) == 0;
}

std::string UserFolder(const char* xdgVariable, const std::string& homeFallback) {
  const std::string programFolder = ProgramFolder();
  const bool writable = ProgramIniWritable(programFolder);
  std::string folder = ChooseUserFolder(programFolder, writable, std::getenv(xdgVariable),
                                        HomeFolder(), homeFallback);
  if (!writable) MakeUserFolder(folder);
  return folder;
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

std::string ChooseUserFolder(const std::string& programFolder, bool iniWritable,
                             const char* xdgValue, const std::string& home,
                             const std::string& homeFallback) {
  if (iniWritable) return programFolder + ProgramIniFolder;
  // A relative or empty value is to be ignored, as if unset.
  if (xdgValue != nullptr && xdgValue[0] == '/') {
    return IncludeTrailingPathDelimiter(xdgValue) + UserSubfolder;
  }
  return IncludeTrailingPathDelimiter(home + "/" + homeFallback) + UserSubfolder;
}

void MakeUserFolder(const std::string& folder) {
  const std::string path = ExcludeTrailingPathDelimiter(folder);
  std::error_code ignored;
  std::filesystem::create_directories(ExtractFilePath(path), ignored);
  ::mkdir(path.c_str(), UserFolderMode);  // an existing one is tightened below
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid() &&
      (info.st_mode & 07777) != UserFolderMode) {
    ::chmod(path.c_str(), UserFolderMode);
  }
}

std::string SettingsFolder() {
  return UserFolder("XDG_CONFIG_HOME", ".config");
}

std::string CacheFolder() {
  return UserFolder("XDG_CACHE_HOME", ".cache");
}

std::string ConfigFilePath() {
  return SettingsFolder() + "config.ini";
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
