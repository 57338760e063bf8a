#include "platform/FileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "platform/Exception.h"
#include "platform/Paths.h"

namespace korvane {
namespace {

// Unique per process and call, so concurrent writers in one folder never share a temporary.
std::string TemporaryNameFor(const std::string& path) {
  static std::atomic<unsigned long> counter{0};
  return ExtractFilePath(path) + "." + ExtractFileName(path) + ".part" + std::to_string(getpid()) +
         "-" + std::to_string(counter.fetch_add(1));
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

// Writes bytes to a new file at path; false on any failure (the file may then be partial).
bool WriteNewFile(const std::string& path, std::string_view bytes, bool exclusive) {
  int flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | (exclusive ? O_EXCL : 0);
  int fd = ::open(path.c_str(), flags, 0644);
  if (fd < 0) return false;
  bool ok = WriteAll(fd, bytes);
  if (::close(fd) != 0) ok = false;
  return ok;
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
  std::string temporary = TemporaryNameFor(destination);
  if (!WriteNewFile(temporary, bytes, true)) {
    ::unlink(temporary.c_str());
    return false;
  }
  if (failIfExists) {
    // link() refuses an existing destination, so a file that appeared meanwhile is kept.
    bool linked = ::link(temporary.c_str(), destination.c_str()) == 0;
    ::unlink(temporary.c_str());
    return linked;
  }
  if (::rename(temporary.c_str(), destination.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  return true;
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
  if (!WriteNewFile(path, bytes, false)) throw FileCreateError::ForPath(path);
}

void WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary = TemporaryNameFor(path);
  if (!WriteNewFile(temporary, bytes, true) || ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    throw FileCreateError::ForPath(path);
  }
}

bool DeleteFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

}  // namespace korvane
