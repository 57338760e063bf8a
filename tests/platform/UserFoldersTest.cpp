#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/FileSystem.h"
#include "platform/ProgramFolder.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(ChooseUserFolder, AWritableProgramFolderKeepsEverythingInItsIni) {
  EXPECT_EQ(ChooseUserFolder("/opt/k/", true, "/xdg", "/home/u", ".config"), "/opt/k/ini/");
  EXPECT_EQ(ChooseUserFolder("/opt/k/", true, nullptr, "/home/u", ".cache"), "/opt/k/ini/");
}

TEST(ChooseUserFolder, OtherwiseTheXdgFolderOrItsDefaultUnderHome) {
  EXPECT_EQ(ChooseUserFolder("/usr/lib/korvane/", false, "/xdg/conf", "/home/u", ".config"),
            "/xdg/conf/korvane/");
  EXPECT_EQ(ChooseUserFolder("/usr/lib/korvane/", false, "/xdg/cache/", "/home/u", ".cache"),
            "/xdg/cache/korvane/");
  // Unset, empty or relative values are ignored, as the base directory rules ask.
  for (const char* ignored : {static_cast<const char*>(nullptr), "", "relative/conf"}) {
    EXPECT_EQ(ChooseUserFolder("/usr/lib/korvane/", false, ignored, "/home/u", ".config"),
              "/home/u/.config/korvane/");
  }
}

// Sets an environment variable for the object's life.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnvironment() {
    if (old_) {
      setenv(name_, old_->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

class UserFolders : public ::testing::Test {
 protected:
  test::TempProgramFolder program;
  test::TempFolder xdg;
  ScopedEnvironment config{"XDG_CONFIG_HOME", xdg.Path() + "config"};
  ScopedEnvironment cache{"XDG_CACHE_HOME", xdg.Path() + "cache"};
};

TEST_F(UserFolders, AWritableProgramFolderBehavesAsBefore) {
  EXPECT_EQ(SettingsFolder(), program.Path() + "ini/");
  EXPECT_EQ(CacheFolder(), program.Path() + "ini/");
  EXPECT_EQ(ConfigFilePath(), program.Path() + "ini/config.ini");
  EXPECT_FALSE(DirectoryExists(xdg.Path() + "config"));
}

TEST_F(UserFolders, TheRelocatedFoldersAreTheirOwnersOnly) {
  const mode_t previousMask = ::umask(022);
  const std::string fresh = xdg.Path() + "config/korvane/";
  MakeUserFolder(fresh);
  const std::string older = xdg.Path() + "cache/korvane";
  std::filesystem::create_directories(older);
  ::chmod(older.c_str(), 0755);  // made by an earlier version with the umask's default
  MakeUserFolder(older + "/");
  ::umask(previousMask);
  for (const std::string& folder : {fresh, older + "/"}) {
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0) << folder;
    EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
  }
  EXPECT_TRUE(DirectoryExists(xdg.Path() + "config"));
}

TEST_F(UserFolders, AReadOnlyProgramFolderSendsTheUserToTheXdgFolders) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write any folder (the package test covers this)";
  ASSERT_EQ(chmod((program.Path() + "ini").c_str(), 0555), 0);
  EXPECT_EQ(SettingsFolder(), xdg.Path() + "config/korvane/");
  EXPECT_EQ(CacheFolder(), xdg.Path() + "cache/korvane/");
  EXPECT_TRUE(DirectoryExists(xdg.Path() + "config/korvane"));  // made on first use
  EXPECT_TRUE(DirectoryExists(xdg.Path() + "cache/korvane"));
  chmod((program.Path() + "ini").c_str(), 0755);
}

}  // namespace
}  // namespace korvane
