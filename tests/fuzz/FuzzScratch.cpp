#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "FuzzTarget.h"
#include "platform/FileSystem.h"

namespace korvane::fuzz {
namespace {

class Folder {
 public:
  Folder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern + "/";
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace

const std::string& ScratchFolder() {
  static const Folder folder;
  return folder.Path();
}

std::string ScratchFile(const std::string& name, std::string_view bytes) {
  const std::string path = ScratchFolder() + name;
  WriteFileBytes(path, bytes);
  return path;
}

}  // namespace korvane::fuzz
