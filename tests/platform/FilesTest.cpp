#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

TEST(TextFile, SplitsAtAnyLineEnd) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (TStringList{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (TStringList{"a"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (TStringList{"a", ""}));
  EXPECT_EQ(SplitLines("\n"), (TStringList{""}));
  EXPECT_TRUE(SplitLines("").empty());
  EXPECT_EQ(SplitLines("a\n\rb"), (TStringList{"a", "", "b"}));
}

TEST(TextFile, SavesEveryLineWithCrLfAndReadsItBack) {
  test::TempFolder folder;
  const std::string path = folder.Path() + "log.txt";
  SaveLines(path, {"one", "", "three"});
  EXPECT_EQ(ReadFileBytes(path), "one\r\n\r\nthree\r\n");
  EXPECT_EQ(LoadLines(path), (TStringList{"one", "", "three"}));
  SaveLines(path, {});
  EXPECT_EQ(ReadFileBytes(path), "");
}

TEST(TextFile, FileErrorsCarryTheirTexts) {
  test::TempFolder folder;
  const std::string missing = folder.Path() + "gone/list.ftl";
  try {
    LoadLines(missing);
    FAIL();
  } catch (const FileOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file " + missing);
  }
  try {
    SaveLines(missing, {"x"});
    FAIL();
  } catch (const FileCreateError& error) {
    EXPECT_EQ(error.Message(), "Cannot create file " + missing);
  }
}

TEST(FileSystem, CopyWithoutOverwriteKeepsAnExistingFile) {
  test::TempFolder folder;
  const std::string source = folder.Path() + "blank.jpg";
  const std::string target = folder.Path() + "tile.jpg";
  WriteFileBytes(source, "blank");
  WriteFileBytes(target, "tile");
  EXPECT_FALSE(CopyFile(source, target, true));
  EXPECT_EQ(ReadFileBytes(target), "tile");
  EXPECT_TRUE(CopyFile(source, target, false));
  EXPECT_EQ(ReadFileBytes(target), "blank");
  EXPECT_FALSE(CopyFile(folder.Path() + "none", target, false));
  EXPECT_EQ(ReadFileBytes(target), "blank");
}

TEST(FileSystem, AtomicWritesLeaveNoTemporaryFilesBehind) {
  test::TempFolder folder;
  WriteFileAtomically(folder.Path() + "a.jpg", std::string("\xFF\xD8", 2));
  EXPECT_TRUE(CopyFile(folder.Path() + "a.jpg", folder.Path() + "b.jpg", true));
  EXPECT_THROW(WriteFileAtomically(folder.Path() + "no/such.jpg", "x"), FileCreateError);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);
}

TEST(FileSystem, ReadRegularFile_ReadsOnlyRegularFilesUpToTheCap) {
  namespace fs = std::filesystem;
  test::TempFolder folder;
  const std::string path = folder.Path() + "tile.jpg";
  WriteFileBytes(path, "12345678");
  fs::create_symlink(path, folder.Path() + "link.jpg");
  EXPECT_EQ(ReadRegularFile(path, 8), "12345678");
  EXPECT_EQ(ReadRegularFile(folder.Path() + "link.jpg", 100), "12345678");
  EXPECT_EQ(ReadRegularFile(path, 0x7fffffff), "12345678") << "the cap is no allocation";
  ASSERT_EQ(::mkfifo((folder.Path() + "fifo").c_str(), 0600), 0);
  const std::vector<std::string> refused = {path + "-none", folder.Path(), "/dev/zero", "/dev/null",
                                            folder.Path() + "fifo"};
  for (const std::string& other : refused)
    EXPECT_THROW(ReadRegularFile(other, 8), FileOpenError) << other;
  try {
    ReadRegularFile(path, 7);
    ADD_FAILURE() << "a file over the cap was read";
  } catch (const FileOpenError& error) {
    EXPECT_EQ(error.Message(), "Cannot open file " + path);
  }
}

TEST(FileSystem, CreateDirMakesOneLevelOnly) {
  test::TempFolder folder;
  EXPECT_TRUE(CreateDir(folder.Path() + "one"));
  EXPECT_TRUE(DirectoryExists(folder.Path() + "one"));
  EXPECT_FALSE(CreateDir(folder.Path() + "a/b"));
  EXPECT_FALSE(CreateDir(""));
}

}  // namespace
}  // namespace korvane
