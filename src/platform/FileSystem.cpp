#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Exception.h"
#include "platform/Paths.h"

namespace korvane {
namespace {

// The kernel's own bound on a chain of symbolic links (beyond it, ELOOP).
constexpr int MaxLinkHops = 40;
constexpr mode_t SharedFileMode = 0644;
constexpr mode_t PrivateFileMode = 0600;

constexpr std::string_view TemporaryMark = ".part";

// Unique per process and call, so concurrent writers in one folder never share a temporary:
// "." + the file's name + ".part" + the writer's process id + "-" + a counter.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned long> counter{0};
  return ExtractFilePath(path) + "." + ExtractFileName(path) + std::string(TemporaryMark) +
         std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
}

bool AllDigits(std::string_view text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// What a folder entry named as TemporaryNameFor names it says: the file it was for and the
// process that wrote it. Nothing for any other name.
struct TemporaryName {
  std::string FileName;
  pid_t Writer = 0;
};
std::optional<TemporaryName> ReadTemporaryName(std::string_view name) {
  const std::size_t mark = name.rfind(TemporaryMark);
  if (name.size() < 2 || name.front() != '.' || mark == std::string_view::npos || mark < 2)
    return std::nullopt;
  const std::string_view suffix = name.substr(mark + TemporaryMark.size());
  const std::size_t dash = suffix.find('-');
  if (dash == std::string_view::npos || !AllDigits(suffix.substr(0, dash)) ||
      !AllDigits(suffix.substr(dash + 1)) || dash > 9) {
    return std::nullopt;
  }
  return TemporaryName{std::string(name.substr(1, mark - 1)),
                       static_cast<pid_t>(std::stol(std::string(suffix.substr(0, dash))))};
}

// A process that is gone can no longer finish (or remove) its temporary. This process counts
// as running, and so does one that exists but may not be signalled.
bool ProcessIsGone(pid_t pid) {
  return pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

// Writes bytes to an open file and flushes them to the disk; closes the file either way.
bool FillAndClose(int fd, std::string_view bytes) {
  bool ok = WriteAll(fd, bytes) && ::fsync(fd) == 0;
  if (::close(fd) != 0) ok = false;
  return ok;
}

// Creates a file that must not exist yet and fills it; on any failure nothing is left at path
// (a file that was there already is never touched).
bool CreateExclusively(const std::string& path, std::string_view bytes, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return false;
  if (FillAndClose(fd, bytes)) return true;
  ::unlink(path.c_str());
  return false;
}

// The file a write to path lands in: path itself, or the end of its chain of symbolic links
// (a link to nothing names the file to create). Nothing when the chain cannot be followed.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop <= MaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    std::vector<char> target(PATH_MAX);
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size()) return std::nullopt;
    std::string next(target.data(), static_cast<size_t>(length));
    path = next.front() == PathDelim ? next : ExtractFilePath(path) + next;
  }
  return std::nullopt;
}

// Gives a fresh temporary the owner and mode of the file it replaces. Only a privileged user
// may give a file away, so a refused owner is left as it is; the group is kept when the user
// belongs to it. The owner goes first because changing it clears the set-id bits.
bool TakeOverOwnerAndMode(int fd, const struct stat& replaced) {
  if (replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) {
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
      [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    }
  }
  return ::fchmod(fd, replaced.st_mode & 07777) == 0;
}

// Folder entries (a rename) reach the disk only when the folder itself is flushed. Some file
// systems cannot flush a folder; the rename has happened all the same, so that is no failure.
void FlushFolderOf(const std::string& path) {
  std::string folder = ExtractFilePath(path);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  [[maybe_unused]] const int flushed = ::fsync(fd);
  ::close(fd);
}

// Opens the temporary that is to replace (or create) the regular file `target`, named in
// `temporary`; -1 when the target may not be replaced or the temporary cannot be made.
int OpenReplacement(const std::string& target, NewFileAccess access, std::string& temporary) {
  std::optional<struct stat> replaced;
  struct stat info {};
  if (::stat(target.c_str(), &info) == 0) {
    // What a plain open for writing would refuse is refused here too, although the rename
    // itself needs only the folder's permission.
    if (!S_ISREG(info.st_mode) || ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
      return -1;
    replaced = info;
  } else if (errno != ENOENT) {
    return -1;
  }

  const mode_t newMode = access == NewFileAccess::Private ? PrivateFileMode : SharedFileMode;
  temporary = TemporaryNameFor(target);
  // A replacement starts private and gets the replaced file's mode before any byte is written.
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        replaced ? PrivateFileMode : newMode);
  if (fd < 0) return -1;
  if (replaced && !TakeOverOwnerAndMode(fd, *replaced)) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return -1;
  }
  return fd;
}

// Flushes the filled temporary (closing it either way) and renames it over the target; on
// failure the temporary is removed and the target left as it was.
bool PutInPlace(int fd, std::string_view lastBytes, const std::string& temporary,
                const std::string& target) {
  if (!FillAndClose(fd, lastBytes) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  FlushFolderOf(target);
  return true;
}

// Replaces (or creates) the regular file `target` with bytes through a flushed temporary.
bool ReplaceFile(const std::string& target, std::string_view bytes, NewFileAccess access) {
  std::string temporary;
  const int fd = OpenReplacement(target, access, temporary);
  return fd >= 0 && PutInPlace(fd, bytes, temporary, target);
}

// The copy of bytes to destination that never replaces a file standing there.
bool CreateWithoutOverwrite(const std::string& destination, std::string_view bytes) {
  const std::string temporary = TemporaryNameFor(destination);
  if (!CreateExclusively(temporary, bytes, SharedFileMode)) return false;
  // link() refuses an existing destination, so a file that appeared meanwhile is kept.
  const bool linked = ::link(temporary.c_str(), destination.c_str()) == 0;
  const int linkError = errno;
  ::unlink(temporary.c_str());
  if (linked) {
    FlushFolderOf(destination);
    return true;
  }
  if (linkError == EEXIST) return false;
  // A file system without hard links: an exclusive create refuses an existing file as well.
  return CreateExclusively(destination, bytes, SharedFileMode);
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateDir(const std::string& path) {
  return !path.empty() && ::mkdir(path.c_str(), 0755) == 0;
}

bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists) {
  if (failIfExists && FileExists(destination)) return false;
  std::string bytes;
  try {
    bytes = ReadFileBytes(source);
  } catch (const Exception&) {
    return false;
  }
  if (failIfExists) return CreateWithoutOverwrite(destination, bytes);
  const std::optional<std::string> target = FollowLinks(destination);
  return target && ReplaceFile(*target, bytes, NewFileAccess::Shared);
}

std::string ReadFileBytes(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) throw FileOpenError::ForPath(path);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) {
    ::close(fd);
    throw FileOpenError::ForPath(path);
  }
  std::string bytes;
  char chunk[65536];
  for (;;) {
    ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      throw FileOpenError::ForPath(path);
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<size_t>(got));
  }
  ::close(fd);
  return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, SharedFileMode);
  if (fd < 0) throw FileCreateError::ForPath(path);
  const bool written = WriteAll(fd, bytes);
  if (::close(fd) != 0 || !written) throw FileCreateError::ForPath(path);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, NewFileAccess access) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target || !ReplaceFile(*target, bytes, access)) throw FileCreateError::ForPath(path);
}

FileReplacement::FileReplacement(const std::string& path, NewFileAccess access) : path_(path) {
  const std::optional<std::string> target = FollowLinks(path);
  if (target) {
    target_ = *target;
    fd_ = OpenReplacement(target_, access, temporary_);
  }
  if (fd_ < 0) throw FileCreateError::ForPath(path_);
}

FileReplacement::~FileReplacement() {
  if (fd_ < 0) return;
  ::close(fd_);
  ::unlink(temporary_.c_str());
}

void FileReplacement::Append(std::string_view bytes) {
  if (fd_ >= 0 && !failed_ && !WriteAll(fd_, bytes)) failed_ = true;
}

void FileReplacement::Commit() {
  if (fd_ < 0) throw FileCreateError::ForPath(path_);
  const int fd = std::exchange(fd_, -1);
  if (failed_) {
    ::close(fd);
    ::unlink(temporary_.c_str());
    throw FileCreateError::ForPath(path_);
  }
  if (!PutInPlace(fd, {}, temporary_, target_)) throw FileCreateError::ForPath(path_);
}

bool DeleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

int RemoveAbandonedTemporaries(const std::string& folder, const std::string& fileName) {
  DIR* entries = ::opendir(folder.c_str());
  if (entries == nullptr) return 0;
  std::vector<std::string> abandoned;
  while (const dirent* entry = ::readdir(entries)) {
    const std::optional<TemporaryName> temporary = ReadTemporaryName(entry->d_name);
    if (!temporary || (!fileName.empty() && temporary->FileName != fileName)) continue;
    if (ProcessIsGone(temporary->Writer)) abandoned.emplace_back(entry->d_name);
  }
  ::closedir(entries);
  const std::string prefix = IncludeTrailingPathDelimiter(folder);
  int removed = 0;
  for (const std::string& name : abandoned)
    removed += DeleteFile(prefix + name) ? 1 : 0;
  return removed;
}

}  // namespace korvane
