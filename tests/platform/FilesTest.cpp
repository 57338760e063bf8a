#include <gtest/gtest.h>

#include <filesystem>

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

TEST(FileSystem, CreateDirMakesOneLevelOnly) {
  test::TempFolder folder;
  EXPECT_TRUE(CreateDir(folder.Path() + "one"));
  EXPECT_TRUE(DirectoryExists(folder.Path() + "one"));
  EXPECT_FALSE(CreateDir(folder.Path() + "a/b"));
  EXPECT_FALSE(CreateDir(""));
}

}  // namespace
}  // namespace korvane
