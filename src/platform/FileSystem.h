#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

// True when a regular file (or a link to one) exists at the path.
bool FileExists(const std::string& path);

// True when a folder exists at the path.
bool DirectoryExists(const std::string& path);

// Creates one folder level (the parent must exist). False when it cannot be created; an
// existing folder counts as a failure too, as the callers test for existence first.
bool CreateDir(const std::string& path);

// Who may read a file that a whole-file write creates (the mode before the umask applies). A
// shared file that is replaced keeps its own mode and owner instead; a private one keeps its
// owner but is made 0600 whatever its mode was.
enum class NewFileAccess {
  Shared,   // 0644: readable by every user
  Private,  // 0600: holds a password or where the user looked, readable by its owner only
};

// Every write below follows a symbolic link only when the link belongs to the user running the
// program or to root; a link another user planted (in a shared folder, or for a program run as
// root) makes the write fail as a file that cannot be created does.

// Copies a file. With failIfExists an existing destination is left alone and false returned;
// the copy goes through a temporary name beside the destination, linked into place, so a
// reader never sees half a file under the destination's name. On a file system that refuses
// hard links (FAT, exFAT, some network shares) the destination is created exclusively and
// filled in place instead: the same no-overwrite meaning, without that guarantee. Without
// failIfExists the copy replaces the destination as WriteFileAtomically does. Returns whether
// the copy was made.
bool CopyFile(const std::string& source, const std::string& destination, bool failIfExists);

// Reads a whole file; raises FileOpenError ("Cannot open file " + path) when it cannot.
std::string ReadFileBytes(const std::string& path);

// As ReadFileBytes, for files another program or user may have put in place: only a regular
// file (or a link to one) of at most maxBytes is read. A FIFO, a device or a folder, which
// could make the reader wait for ever or read without end, and a bigger file raise
// FileOpenError as a file that cannot be opened does; opening never waits.
std::string ReadRegularFile(const std::string& path, std::size_t maxBytes);

// Writes a whole file, creating or replacing it in place; raises FileCreateError ("Cannot create
// file " + path) when it cannot be created or fully written.
void WriteFileBytes(const std::string& path, std::string_view bytes);

// As WriteFileBytes, but the bytes go to a temporary file in the same folder first, which is
// flushed to the disk and then renamed over the path (and the folder flushed): a killed program
// or a power cut leaves the old content or the new one, never half a file or an empty one.
// A replaced file keeps its mode and, where the system permits, its owner; a file the user may
// not write is refused as a plain write would refuse it; a symbolic link stays a link and its
// target gets the new content. A new file gets the mode of `access`, less the umask.
//
// With FileFlush::Later the file and its folder are not flushed one by one: the caller flushes
// the whole file system once with FlushFileSystemOf when it has written a batch of files (a
// killed program still leaves the old content or the new one; a power cut before that flush may
// leave an empty or partial file under the new name, which readers of such batches check for).
enum class FileFlush {
  Now,
  Later,
};
void WriteFileAtomically(const std::string& path, std::string_view bytes,
                         NewFileAccess access = NewFileAccess::Shared,
                         FileFlush flush = FileFlush::Now);

// Flushes every file written on the file system that holds path (syncfs); for writers that
// wrote with FileFlush::Later.
void FlushFileSystemOf(const std::string& path);

// WriteFileAtomically for a file written piece by piece: each Append goes to the temporary at
// once (a long run keeps none of it in memory), and Commit puts the whole file in place with
// the same guarantees. Until Commit the old file stays as it was; a replacement never committed
// leaves no temporary behind. The constructor raises FileCreateError when the temporary cannot
// be made; a failed Append is remembered and Commit raises FileCreateError for it, as it does
// when the file cannot be put in place. Not thread-safe.
class FileReplacement {
 public:
  explicit FileReplacement(const std::string& path, NewFileAccess access = NewFileAccess::Shared);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  void Append(std::string_view bytes);
  void Commit();

 private:
  std::string path_;
  std::string target_;
  std::string temporary_;
  int fd_ = -1;
  bool failed_ = false;
};

// Flushes the folder that holds path to the disk: its entries (a rename, a new name) reach the
// disk only then. Some file systems cannot flush a folder; the change has happened all the same,
// so that is no failure.
void FlushFolderOf(const std::string& path);

// Removes a file; false when there was none or it could not be removed.
bool DeleteFile(const std::string& path);

// Removes from `folder` the temporaries of whole-file writes (WriteFileAtomically, CopyFile)
// whose writer is gone: a program killed mid-write cannot remove its own. Only those for the
// file named `fileName` (a name in the folder), or every one when it is empty. A writer holds a
// lock on its temporary while it writes, so one in another PID namespace or on another host
// sharing the folder counts as running; so does a process of this system with the id in the
// temporary's name, this one included. Returns how many were removed.
int RemoveAbandonedTemporaries(const std::string& folder, const std::string& fileName = "");

}  // namespace korvane
