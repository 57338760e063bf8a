#pragma once

#include <string>

namespace korvane {

// The picture being written: a hidden temporary file beside the destination that only
// replaces (or becomes) the destination once complete, so no reader ever sees half a picture
// under its name. Unless committed, the temporary file is removed when the object goes (an
// error, a cancel).
class OutputFile {
 public:
  // Raises Exception "File <path> already exists." when the destination exists and replace is
  // off, and "Cannot create file <path>: <reason>" when the temporary file cannot be made.
  OutputFile(std::string path, bool replace);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  int Descriptor() const { return fd_; }
  const std::string& Path() const { return path_; }

  // Flushes the temporary file to the disk, closes it and moves it to the destination, then
  // flushes the folder. Without replace, a destination
  // that appeared meanwhile is still not replaced (same error as the constructor). Raises
  // "Cannot write <path>: <reason>" when the data could not be stored.
  void Commit();

 private:
  std::string path_;
  std::string temporaryPath_;
  bool replace_;
  int fd_ = -1;
  bool committed_ = false;
};

// The text of the refusal to replace an existing picture.
std::string AlreadyExistsMessage(const std::string& path);

}  // namespace korvane
