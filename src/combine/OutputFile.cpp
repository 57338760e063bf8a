#include "combine/OutputFile.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

namespace korvane {
namespace {

bool PathExists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

std::string Reason(int error) {
  return std::strerror(error);
}

// Moves the finished file into place without replacing an existing one. renameat2 refuses an
// existing destination atomically; on a file system without it, a hard link does the same.
int MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

std::string AlreadyExistsMessage(const std::string& path) {
  return "File " + path + " already exists.";
}

OutputFile::OutputFile(std::string path, bool replace) : path_(std::move(path)), replace_(replace) {
  if (!replace_ && PathExists(path_)) throw Exception(AlreadyExistsMessage(path_));
  std::string pattern = ExtractFilePath(path_) + "." + ExtractFileName(path_) + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  fd_ = ::mkstemp(name.data());
  if (fd_ < 0) throw Exception("Cannot create file " + path_ + ": " + Reason(errno));
  temporaryPath_ = name.data();
  // mkstemp makes the file private; a picture is as readable as any other file the user saves.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd_, 0666 & ~mask);
}

OutputFile::~OutputFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!committed_) ::unlink(temporaryPath_.c_str());
}

void OutputFile::Commit() {
  const int fd = fd_;
  fd_ = -1;
  // The picture's data reaches the disk before its name does, and the name right after: a
  // power cut never leaves an empty or half picture under the destination's name.
  const bool flushed = ::fsync(fd) == 0;
  const int flushError = errno;
  if (::close(fd) != 0) throw Exception("Cannot write " + path_ + ": " + Reason(errno));
  if (!flushed) throw Exception("Cannot write " + path_ + ": " + Reason(flushError));
  if (replace_) {
    if (::rename(temporaryPath_.c_str(), path_.c_str()) != 0) {
      throw Exception("Cannot write " + path_ + ": " + Reason(errno));
    }
  } else {
    const int error = MoveWithoutReplacing(temporaryPath_, path_);
    if (error == EEXIST) throw Exception(AlreadyExistsMessage(path_));
    if (error != 0) throw Exception("Cannot write " + path_ + ": " + Reason(error));
  }
  committed_ = true;
  FlushFolderOf(path_);
}

}  // namespace korvane
