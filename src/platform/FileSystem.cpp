#include "platform/FileSystem.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
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

// Each writer holds an exclusive lock on its temporary from its creation until it is renamed
// or linked into place; the kernel drops it when the writer ends in any way. The process id in
// the name alone cannot tell: a writer in another PID namespace (a container) or on another
// host sharing the folder has an id that names no process here, or another one. A file system
// without locks leaves the temporary unlocked and the process id decides alone, as before.
void LockAsWritten(int fd) {
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
}

// Removes a temporary whose writer is gone: the writer's process is not running here and no
// one holds the temporary's lock. One that cannot be opened to see its lock stays.
bool RemoveIfAbandoned(const std::string& path, pid_t writer) {
  if (!ProcessIsGone(writer)) return false;
  // NFS carries these locks as write locks, which need a descriptor open for writing.
  constexpr int Flags = O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = ::open(path.c_str(), O_RDWR | Flags);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | Flags);
  if (fd < 0) return false;
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  // Taken: no writer holds it. A file system without locks leaves the process id to decide;
  // any other failure (held, or cannot be told) keeps the temporary.
  const bool noLocks = result != 0 && (errno == ENOLCK || errno == EOPNOTSUPP);
  bool removed = false;
  if (result == 0 || noLocks) {
    // Only the file that was judged: a writer that finished meanwhile renamed it away.
    struct stat opened {};
    struct stat named {};
    removed = ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
              opened.st_dev == named.st_dev && opened.st_ino == named.st_ino &&
              ::unlink(path.c_str()) == 0;
  }
  ::close(fd);
  return removed;
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

// Writes bytes to an open file and flushes them to the disk.
bool Fill(int fd, std::string_view bytes, FileFlush flush = FileFlush::Now) {
  return WriteAll(fd, bytes) && (flush == FileFlush::Later || ::fsync(fd) == 0);
}

// Closes a file that was written; false when its data may not have been stored.
bool CloseWritten(int fd) {
  return ::close(fd) == 0;
}

// Creates a file that must not exist yet, locked as a temporary being written, and fills it;
// returns its open descriptor, or -1 with nothing left at path (a file that was there already
// is never touched).
int CreateExclusively(const std::string& path, std::string_view bytes, mode_t mode) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) return -1;
  LockAsWritten(fd);
  if (Fill(fd, bytes)) return fd;
  ::close(fd);
  ::unlink(path.c_str());
  return -1;
}

// A link another user made may lead anywhere that user chooses (a shared folder with the
// sticky bit, the program run as root): only links of the running user or of root are
// followed, as the kernel's protected_symlinks does in such folders.
bool MayFollow(const struct stat& link) {
  return link.st_uid == ::geteuid() || link.st_uid == 0;
}

// The file a write to path lands in: path itself, or the end of its chain of symbolic links
// (a link to nothing names the file to create). Nothing when the chain cannot be followed or
// passes a link that is not to be followed.
std::optional<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop <= MaxLinkHops; ++hop) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    if (!MayFollow(info)) return std::nullopt;
    std::vector<char> target(PATH_MAX);
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size());
    if (length <= 0 || static_cast<size_t>(length) >= target.size()) return std::nullopt;
    std::string next(target.data(), static_cast<size_t>(length));
    path = next.front() == PathDelim ? next : ExtractFilePath(path) + next;
  }
  return std::nullopt;
}

// Gives a fresh temporary the owner and the mode of the file it replaces, or `mode` when one is
// forced. Only a privileged user may give a file away, so a refused owner is left as it is; the
// group is kept when the user belongs to it. The owner goes first because changing it clears
// the set-id bits.
bool TakeOverOwnerAndMode(int fd, const struct stat& replaced, std::optional<mode_t> mode) {
  if (replaced.st_uid != ::geteuid() || replaced.st_gid != ::getegid()) {
    if (::fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
      [[maybe_unused]] const int groupOnly = ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid);
    }
  }
  return ::fchmod(fd, mode.value_or(replaced.st_mode & 07777)) == 0;
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

  const bool secret = access == NewFileAccess::Private;
  temporary = TemporaryNameFor(target);
  // A replacement starts private and gets the replaced file's mode before any byte is written;
  // a file that receives a secret stays private whatever mode it had.
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        replaced || secret ? PrivateFileMode : SharedFileMode);
  if (fd < 0) return -1;
  LockAsWritten(fd);
  const std::optional<mode_t> forcedMode =
      secret ? std::optional<mode_t>(PrivateFileMode) : std::nullopt;
  if (replaced && !TakeOverOwnerAndMode(fd, *replaced, forcedMode)) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return -1;
  }
  return fd;
}

// Flushes the filled temporary and renames it over the target, closing it either way; on
// failure the temporary is removed and the target left as it was. The descriptor, and with it
// the lock that marks a temporary still being written, stays open until the temporary has its
// final name.
bool PutInPlace(int fd, std::string_view lastBytes, const std::string& temporary,
                const std::string& target, FileFlush flush = FileFlush::Now) {
  if (!Fill(fd, lastBytes, flush) || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return false;
  }
  const bool closed = CloseWritten(fd);
  if (flush == FileFlush::Now) FlushFolderOf(target);
  return closed;
}

// Replaces (or creates) the regular file `target` with bytes through a temporary, flushed now
// or left to the caller's FlushFileSystemOf.
bool ReplaceFile(const std::string& target, std::string_view bytes, NewFileAccess access,
                 FileFlush flush) {
  std::string temporary;
  const int fd = OpenReplacement(target, access, temporary);
  return fd >= 0 && PutInPlace(fd, bytes, temporary, target, flush);
}

// The copy of bytes to destination that never replaces a file standing there.
bool CreateWithoutOverwrite(const std::string& destination, std::string_view bytes) {
  const std::string temporary = TemporaryNameFor(destination);
  const int fd = CreateExclusively(temporary, bytes, SharedFileMode);
  if (fd < 0) return false;
  // link() refuses an existing destination, so a file that appeared meanwhile is kept.
  const bool linked = ::link(temporary.c_str(), destination.c_str()) == 0;
  const int linkError = errno;
  ::unlink(temporary.c_str());
  const bool closed = CloseWritten(fd);
  if (linked) {
    FlushFolderOf(destination);
    return closed;
  }
  if (linkError == EEXIST) return false;
  // A file system without hard links: an exclusive create refuses an existing file as well.
  const int direct = CreateExclusively(destination, bytes, SharedFileMode);
  return direct >= 0 && CloseWritten(direct);
}

}  // namespace

void FlushFolderOf(const std::string& path) {
  std::string folder = ExtractFilePath(path);
  if (folder.empty()) folder = ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  [[maybe_unused]] const int flushed = ::fsync(fd);
  ::close(fd);
}

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
  return target && ReplaceFile(*target, bytes, NewFileAccess::Shared, FileFlush::Now);
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

std::string ReadRegularFile(const std::string& path, std::size_t maxBytes) {
  // Without O_NONBLOCK, opening a FIFO waits for a writer that may never come.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) throw FileOpenError::ForPath(path);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      static_cast<std::uint64_t>(info.st_size) > maxBytes) {
    ::close(fd);
    throw FileOpenError::ForPath(path);
  }
  // A file that grows past the cap while it is read is refused as well.
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(info.st_size));
  char chunk[65536];
  while (bytes.size() <= maxBytes) {
    const ssize_t got = ::read(fd, chunk, sizeof chunk);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      ::close(fd);
      throw FileOpenError::ForPath(path);
    }
    if (got == 0) break;
    bytes.append(chunk, static_cast<std::size_t>(got));
  }
  ::close(fd);
  if (bytes.size() > maxBytes) throw FileOpenError::ForPath(path);
  return bytes;
}

void WriteFileBytes(const std::string& path, std::string_view bytes) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target) throw FileCreateError::ForPath(path);
  // The chain was checked: a link put in the target's place meanwhile is not followed.
  const int fd = ::open(target->c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC,
                        SharedFileMode);
  if (fd < 0) throw FileCreateError::ForPath(path);
  const bool written = WriteAll(fd, bytes);
  if (::close(fd) != 0 || !written) throw FileCreateError::ForPath(path);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, NewFileAccess access,
                         FileFlush flush) {
  const std::optional<std::string> target = FollowLinks(path);
  if (!target || !ReplaceFile(*target, bytes, access, flush)) throw FileCreateError::ForPath(path);
}

void FlushFileSystemOf(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return;
  [[maybe_unused]] const int flushed = ::syncfs(fd);
  ::close(fd);
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
  std::vector<std::pair<std::string, pid_t>> candidates;
  while (const dirent* entry = ::readdir(entries)) {
    const std::optional<TemporaryName> temporary = ReadTemporaryName(entry->d_name);
    if (!temporary || (!fileName.empty() && temporary->FileName != fileName)) continue;
    candidates.emplace_back(entry->d_name, temporary->Writer);
  }
  ::closedir(entries);
  const std::string prefix = IncludeTrailingPathDelimiter(folder);
  int removed = 0;
  for (const auto& [name, writer] : candidates)
    removed += RemoveIfAbandoned(prefix + name, writer) ? 1 : 0;
  return removed;
}

}  // namespace korvane
