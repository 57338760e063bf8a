#include "viewer/OpenInput.h"

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "task/TaskFileNames.h"
#include "viewer/TaskLayout.h"

namespace korvane::viewer {

OpenedInput OpenInput(const std::string& path) {
  OpenedInput input;
  if (DirectoryExists(path)) {
    input.Kind = InputKind::Tiles;
    std::string folder = path;
    while (folder.size() > 1 && folder.back() == '/')
      folder.pop_back();
    const std::string taskFile = folder + TaskFileExtension;
    input.Tiles = FileExists(taskFile) ? LayoutOfTask(taskFile) : LayoutOfFolder(folder + "/");
    return input;
  }
  if (!FileExists(path)) throw Exception("Cannot open file " + path);
  if (path.ends_with(TaskFileExtension)) {
    input.Kind = InputKind::Tiles;
    input.Tiles = LayoutOfTask(path);
    if (!DirectoryExists(input.Tiles.Folder))
      throw Exception("The tile folder " + input.Tiles.Folder + " of the task " + path +
                      " does not exist.");
  }
  return input;
}

}  // namespace korvane::viewer
