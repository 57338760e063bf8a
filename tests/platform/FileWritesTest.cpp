#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/TextFile.h"
#include "support/SystemCallSpy.h"
#include "support/TempFolder.h"

namespace korvane {
namespace {

using test::SystemCallSpy;
using test::TempFolder;

constexpr uid_t NobodyId = 65534;

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
  return info.st_mode & 07777;
}

// Sets the process's umask for the object's life.
class ScopedUmask {
 public:
  explicit ScopedUmask(mode_t mask) : previous_(::umask(mask)) {}
  ~ScopedUmask() { ::umask(previous_); }

 private:
  mode_t previous_;
};

// Runs check as a user without privileges, whom file permissions do stop: in a child process
// that gives up root when the tests run as root. A failing check names its reason on stderr.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
  if (::geteuid() != 0) return check();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped =
        ::setgroups(0, nullptr) == 0 && ::setgid(NobodyId) == 0 && ::setuid(NobodyId) == 0;
    if (!dropped) std::fprintf(stderr, "cannot give up root\n");
    ::_exit(dropped && check() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Check(bool condition, const char* what) {
  if (!condition) std::fprintf(stderr, "failed: %s\n", what);
  return condition;
}

// A temporary folder every user may create files in, as a shared program folder can be.
class SharedFolder : public TempFolder {
 public:
  SharedFolder() { ::chmod(Path().c_str(), 0777); }
};

TEST(FileWrites, Replacing_KeepsModeAndOwner) {
  TempFolder folder;
  const std::string config = folder.Path() + "config.ini";
  WriteFileBytes(config, "[Proxy]\r\nProxyPassword=secret\r\n");
  ::chmod(config.c_str(), 0600);
  WriteFileAtomically(config, "[Proxy]\r\nProxyPassword=other\r\n");
  EXPECT_EQ(ModeOf(config), 0600u) << "a private file stays private";

  ::chmod(config.c_str(), 0664);
  SaveLines(config, {"x"});
  EXPECT_EQ(ModeOf(config), 0664u) << "a replaced file keeps its own mode, whatever new files get";

  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(config.c_str(), NobodyId, NobodyId), 0);
    TIniFile(config).WriteString("Proxy", "ProxyPort", "8080");
    struct stat info {};
    ASSERT_EQ(::stat(config.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, NobodyId);
    EXPECT_EQ(info.st_gid, NobodyId);
    EXPECT_EQ(info.st_mode & 07777, 0664u);
  }
}

TEST(FileWrites, NewFiles_PrivateOnlyWhenHoldingAPasswordAndUnderTheUmask) {
  TempFolder folder;
  {
    ScopedUmask mask(022);
    WriteFileAtomically(folder.Path() + "shared", "a");
    WriteFileAtomically(folder.Path() + "private", "a", NewFileAccess::Private);
    TIniFile(folder.Path() + "config.ini", NewFileAccess::Private).WriteString("P", "K", "v");
    SaveLines(folder.Path() + "log.txt", {"a"});
  }
  EXPECT_EQ(ModeOf(folder.Path() + "shared"), 0644u);
  EXPECT_EQ(ModeOf(folder.Path() + "private"), 0600u);
  EXPECT_EQ(ModeOf(folder.Path() + "config.ini"), 0600u);
  EXPECT_EQ(ModeOf(folder.Path() + "log.txt"), 0644u);
  {
    ScopedUmask mask(077);
    WriteFileAtomically(folder.Path() + "masked", "a");
  }
  EXPECT_EQ(ModeOf(folder.Path() + "masked"), 0600u);
}

TEST(FileWrites, AFileTheUserMayNotWrite_IsRefusedWithItsErrorAndKept) {
  SharedFolder folder;
  const std::string config = folder.Path() + "config.ini";
  const std::string task = folder.Path() + "task.krvn";
  WriteFileBytes(config, "[Proxy]\r\nUseProxy=1\r\n");
  WriteFileBytes(task, "[Zoom]\r\nZoom=3\r\n");
  ::chmod(config.c_str(), 0444);
  ::chmod(task.c_str(), 0444);

  EXPECT_TRUE(AsUnprivilegedUser([&] {
    bool ok = true;
    try {
      TIniFile(config).WriteString("Proxy", "UseProxy", "0");
      ok = Check(false, "a read-only config.ini was written");
    } catch (const IniFileError& error) {
      ok = Check(error.Message() == "Unable to write to " + config, "INI message") && ok;
    }
    try {
      SaveLines(task, {"[Zoom]", "Zoom=4"});
      ok = Check(false, "a read-only task file was written");
    } catch (const FileCreateError& error) {
      ok = Check(error.Message() == "Cannot create file " + task, "file message") && ok;
    }
    return ok;
  }));
  EXPECT_EQ(ReadFileBytes(config), "[Proxy]\r\nUseProxy=1\r\n");
  EXPECT_EQ(ReadFileBytes(task), "[Zoom]\r\nZoom=3\r\n");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2)
      << "no temporary file left";
}

TEST(FileWrites, AnIniFileThatCannotBeRead_IsNotReplacedByItsOneNewKey) {
  SharedFolder folder;
  const std::string config = folder.Path() + "config.ini";
  WriteFileBytes(config, "[IniParas]\r\nDefaultPath=/data\r\n[Proxy]\r\nProxyPort=8080\r\n");
  ::chmod(config.c_str(), 0222);
  EXPECT_TRUE(AsUnprivilegedUser([&] {
    try {
      TIniFile(config).WriteString("Proxy", "UseProxy", "1");
      return Check(false, "an unreadable INI file was rewritten");
    } catch (const IniFileError& error) {
      return Check(error.Message() == "Unable to write to " + config, "INI message");
    }
  }));
  EXPECT_EQ(ReadFileBytes(config),
            "[IniParas]\r\nDefaultPath=/data\r\n[Proxy]\r\nProxyPort=8080\r\n");

  // A folder standing at the file's place is no file to rewrite either.
  const std::string folderInstead = folder.Path() + "task.krvn";
  ASSERT_TRUE(CreateDir(folderInstead));
  EXPECT_THROW(TIniFile(folderInstead).WriteInteger("THREADS", "T1X", 3), IniFileError);
  EXPECT_TRUE(DirectoryExists(folderInstead));
}

// A file that receives a password is for its owner only, also one that was readable by all.
TEST(FileWrites, Replacing_APrivateFileMakesItOwnerOnly) {
  TempFolder folder;
  const std::string config = folder.Path() + "config.ini";
  const std::string log = folder.Path() + "task_log.txt";
  for (mode_t before : {0644u, 0664u, 0666u, 0600u}) {
    SCOPED_TRACE(before);
    WriteFileBytes(config, "[Proxy]\r\n");
    WriteFileBytes(log, "Log begin......\r\n");
    ::chmod(config.c_str(), before);
    ::chmod(log.c_str(), before);
    TIniFile(config, NewFileAccess::Private).WriteString("Proxy", "ProxyPassword", "secret");
    SaveLines(log, {"ProxyPassword:********"}, NewFileAccess::Private);
    EXPECT_EQ(ModeOf(config), 0600u);
    EXPECT_EQ(ModeOf(log), 0600u);
  }
  if (::geteuid() == 0) {
    ASSERT_EQ(::chown(config.c_str(), NobodyId, NobodyId), 0);
    ::chmod(config.c_str(), 0644);
    TIniFile(config, NewFileAccess::Private).WriteString("Proxy", "ProxyPassword", "other");
    struct stat info {};
    ASSERT_EQ(::stat(config.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, NobodyId) << "the owner stays";
    EXPECT_EQ(info.st_mode & 07777, 0600u);
  }
}

// Writes into a shared folder through a link another user planted there are refused with the
// file's own error; the link and what it points at stay untouched. Links of the user and of
// root are followed as before.
TEST(FileWrites, LinksOfOtherUsers_AreNotFollowed) {
  if (::geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
  namespace fs = std::filesystem;
  SharedFolder folder;
  const std::string victim = folder.Path() + "victim";
  WriteFileBytes(victim, "victim's own");
  const auto plant = [&](const std::string& name, uid_t owner) {
    const std::string link = folder.Path() + name;
    fs::create_symlink(victim, link);
    EXPECT_EQ(::lchown(link.c_str(), owner, owner), 0);
    return link;
  };
  struct Write {
    const char* Name;
    std::function<void(const std::string&)> Run;
    std::string Message;
  };
  const std::vector<Write> writes = {
      {"task_log.txt", [](const std::string& path) { SaveLines(path, {"log"}); },
       "Cannot create file "},
      {"task_failed.ftl", [](const std::string& path) { WriteFileAtomically(path, ""); },
       "Cannot create file "},
      {"plain.txt", [](const std::string& path) { WriteFileBytes(path, "x"); },
       "Cannot create file "},
      {"config.ini",
       [](const std::string& path) {
         TIniFile(path, NewFileAccess::Private).WriteString("Proxy", "ProxyPassword", "pw");
       },
       "Unable to write to "},
  };
  for (const Write& write : writes) {
    SCOPED_TRACE(write.Name);
    const std::string link = plant(write.Name, NobodyId);
    try {
      write.Run(link);
      ADD_FAILURE() << "written through another user's link";
    } catch (const Exception& error) {
      EXPECT_EQ(error.Message(), write.Message + link);
    }
    EXPECT_TRUE(fs::is_symlink(link));
  }
  // A chain is refused when any of its links is another user's.
  const std::string chained = folder.Path() + "chain";
  fs::create_symlink(folder.Path() + "task_log.txt", chained);
  EXPECT_THROW(WriteFileAtomically(chained, "x"), FileCreateError);

  const std::string tile = plant("gv_0_0_3.jpg", NobodyId);
  WriteFileBytes(folder.Path() + "blank.jpg", "blank");
  EXPECT_FALSE(CopyFile(folder.Path() + "blank.jpg", tile, /*failIfExists=*/false));
  EXPECT_FALSE(CopyFile(folder.Path() + "blank.jpg", tile, /*failIfExists=*/true));
  EXPECT_EQ(ReadFileBytes(victim), "victim's own");

  WriteFileAtomically(plant("root.txt", 0), "root's link is followed");
  EXPECT_EQ(ReadFileBytes(victim), "root's link is followed");
}

TEST(FileWrites, SymbolicLinks_AreWrittenThroughAndStayLinks) {
  TempFolder folder;
  namespace fs = std::filesystem;
  fs::create_directory(folder.Path() + "real");
  WriteFileBytes(folder.Path() + "real/config.ini", "old");
  ::chmod((folder.Path() + "real/config.ini").c_str(), 0600);
  fs::create_symlink("real/config.ini", folder.Path() + "relative.ini");
  fs::create_symlink(folder.Path() + "relative.ini", folder.Path() + "chain.ini");
  fs::create_symlink("real/none.ini", folder.Path() + "dangling.ini");

  WriteFileAtomically(folder.Path() + "chain.ini", "new");
  EXPECT_TRUE(fs::is_symlink(folder.Path() + "chain.ini"));
  EXPECT_TRUE(fs::is_symlink(folder.Path() + "relative.ini"));
  EXPECT_EQ(ReadFileBytes(folder.Path() + "real/config.ini"), "new");
  EXPECT_EQ(ModeOf(folder.Path() + "real/config.ini"), 0600u);

  TIniFile(folder.Path() + "dangling.ini").WriteString("S", "K", "v");
  EXPECT_TRUE(fs::is_symlink(folder.Path() + "dangling.ini"));
  EXPECT_EQ(ReadFileBytes(folder.Path() + "real/none.ini"), "[S]\r\nK=v\r\n");

  fs::create_symlink("loop.ini", folder.Path() + "loop.ini");
  EXPECT_THROW(WriteFileAtomically(folder.Path() + "loop.ini", "x"), FileCreateError);
  EXPECT_TRUE(fs::is_symlink(folder.Path() + "loop.ini"));
}

TEST(FileWrites, TheContentReachesTheDiskBeforeTheRenameAndTheRenameAfterIt) {
  TempFolder folder;
  const std::string path = folder.Path() + "task.krvn";
  std::vector<std::string> calls;
  {
    SystemCallSpy spy;
    WriteFileAtomically(path, "[XY]\r\n");
    calls = spy.Calls();
  }
  ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(calls);
  const std::string rename = calls[1];
  ASSERT_EQ(rename.rfind("rename " + folder.Path() + ".task.krvn.part", 0), 0u) << rename;
  const std::string temporary = rename.substr(7, rename.find(' ', 7) - 7);
  EXPECT_EQ(calls[0], "fsync " + temporary);
  EXPECT_EQ(calls[2], "fsync " + folder.Path().substr(0, folder.Path().size() - 1));
}

TEST(FileSystem, CopyWithoutOverwrite_WorksWhereHardLinksAreRefused) {
  for (int refusal : {EPERM, EOPNOTSUPP, ENOSYS}) {
    SCOPED_TRACE(refusal);
    TempFolder folder;
    const std::string blank = folder.Path() + "blank.jpg";
    const std::string tile = folder.Path() + "tile.jpg";
    WriteFileBytes(blank, "blank");
    SystemCallSpy spy;
    spy.RefuseLinks(refusal);
    EXPECT_TRUE(CopyFile(blank, tile, /*failIfExists=*/true));
    EXPECT_EQ(ReadFileBytes(tile), "blank");

    WriteFileBytes(tile, "tile");
    EXPECT_FALSE(CopyFile(blank, tile, true)) << "an existing tile is kept";
    EXPECT_EQ(ReadFileBytes(tile), "tile");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2);
    const std::vector<std::string> calls = spy.Calls();
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const std::string& call) {
      return call.rfind("link ", 0) == 0;
    })) << "the link was tried first";
  }
}

// Several keys of the task file change in one replacement: a killed program leaves all of them
// old or all new.
TEST(FileWrites, SeveralIniKeysGoInWithOneRename) {
  TempFolder folder;
  const std::string path = folder.Path() + "task.krvn";
  WriteFileBytes(path, "[XY]\r\nMaxX=12\r\n[THREADS]\r\nT1X=2\r\nT1Y=5\r\n");
  std::vector<std::string> calls;
  {
    SystemCallSpy spy;
    TIniFile(path).WriteStrings("THREADS", {{"T1X", "3"}, {"T1Y", "1"}, {"T2X", "4"}});
    calls = spy.Calls();
  }
  EXPECT_EQ(std::count_if(calls.begin(), calls.end(),
                          [](const std::string& call) { return call.rfind("rename ", 0) == 0; }),
            1)
      << ::testing::PrintToString(calls);
  EXPECT_EQ(ReadFileBytes(path), "[XY]\r\nMaxX=12\r\n[THREADS]\r\nT1X=3\r\nT1Y=1\r\nT2X=4\r\n");
}

// The temporaries a killed writer left are cleared away; those of a running writer, this
// process included, and every other file stay.
TEST(FileSystem, AbandonedTemporariesAreRemovedOnlyWhenTheirWriterIsGone) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);  // its id now names no process
  const std::string gone = std::to_string(child);
  const std::string running = std::to_string(::getpid());
  TempFolder folder;
  const std::vector<std::string> abandoned = {".gv_1_2_4.jpg.part" + gone + "-0",
                                              ".task.krvn.part" + gone + "-17"};
  const std::vector<std::string> kept = {".gv_3_2_4.jpg.part" + running + "-3", "gv_1_2_4.jpg",
                                         ".hidden.part", ".gv_1_2_4.jpg.part" + gone,
                                         ".x.partabc-1"};
  for (const std::string& name : abandoned)
    WriteFileBytes(folder.Path() + name, "half");
  for (const std::string& name : kept)
    WriteFileBytes(folder.Path() + name, "kept");

  EXPECT_EQ(RemoveAbandonedTemporaries(folder.Path(), "task.krvn"), 1);
  EXPECT_FALSE(FileExists(folder.Path() + abandoned[1]));
  EXPECT_TRUE(FileExists(folder.Path() + abandoned[0])) << "another file's temporary";
  EXPECT_EQ(RemoveAbandonedTemporaries(folder.Path()), 1);
  EXPECT_FALSE(FileExists(folder.Path() + abandoned[0]));
  for (const std::string& name : kept)
    EXPECT_TRUE(FileExists(folder.Path() + name)) << name;
  EXPECT_EQ(RemoveAbandonedTemporaries(folder.Path() + "none/"), 0);
}

// A file written row by row (a batch's summary): the old content stays until Commit, which
// replaces it as a whole-file write does; a replacement dropped or failed leaves no temporary.
TEST(FileWrites, AFileWrittenPieceByPiece_AppearsWholeOnCommitOnly) {
  TempFolder folder;
  const std::string path = folder.Path() + "places_summary.csv";
  WriteFileBytes(path, "old\r\n");
  ::chmod(path.c_str(), 0640);
  auto entries = [&folder] {
    return std::distance(std::filesystem::directory_iterator(folder.Path()), {});
  };
  {
    FileReplacement summary(path);
    summary.Append("place,state\r\n");
    summary.Append("line 2: home,done\r\n");
    EXPECT_EQ(ReadFileBytes(path), "old\r\n");
    EXPECT_EQ(entries(), 2) << "the rows so far are in a temporary beside the file";
  }
  EXPECT_EQ(ReadFileBytes(path), "old\r\n") << "never committed";
  EXPECT_EQ(entries(), 1);

  std::vector<std::string> calls;
  {
    FileReplacement summary(path);
    summary.Append("place,state\r\n");
    SystemCallSpy spy;
    summary.Commit();
    calls = spy.Calls();
    EXPECT_THROW(summary.Commit(), FileCreateError) << "a second Commit has nothing to commit";
  }
  EXPECT_EQ(ReadFileBytes(path), "place,state\r\n");
  EXPECT_EQ(ModeOf(path), 0640u);
  EXPECT_EQ(entries(), 1);
  ASSERT_EQ(calls.size(), 3u) << ::testing::PrintToString(calls);
  EXPECT_EQ(calls[1].rfind("rename " + folder.Path() + ".places_summary.csv.part", 0), 0u);

  EXPECT_THROW(FileReplacement(folder.Path() + "none/summary.csv"), FileCreateError);
}

TEST(FileWrites, AFailedPieceFailsTheCommitAndKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.Path() + "summary.csv";
  WriteFileBytes(path, "old");
  FileReplacement summary(path);
  {
    SystemCallSpy spy;
    spy.FillDisk(folder.Path(), 4);
    summary.Append("a row the disk has no room for");
    EXPECT_GT(spy.FailedWrites(), 0);
    spy.FreeDisk();
    summary.Append("later rows do not hide the gap");
  }
  EXPECT_THROW(summary.Commit(), FileCreateError);
  EXPECT_EQ(ReadFileBytes(path), "old");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);
}

// A writer in another PID namespace or on another host has an id that names no process here;
// its lock on the temporary says it is still writing.
TEST(FileSystem, ATemporaryStillLocked_IsKeptWhateverItsProcessId) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  TempFolder folder;
  const std::string temporary = folder.Path() + ".gv_1_2_4.jpg.part" + std::to_string(child) + "-0";
  WriteFileBytes(temporary, "being written elsewhere");
  const int writer = ::open(temporary.c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::flock(writer, LOCK_EX), 0);
  EXPECT_EQ(RemoveAbandonedTemporaries(folder.Path()), 0);
  EXPECT_TRUE(FileExists(temporary));
  ::close(writer);  // the writer is gone now
  EXPECT_EQ(RemoveAbandonedTemporaries(folder.Path()), 1);
  EXPECT_FALSE(FileExists(temporary));
}

}  // namespace
}  // namespace korvane
