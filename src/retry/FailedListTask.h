#pragma once

#include <optional>
#include <string>

#include "task/FailedList.h"
#include "task/TaskFile.h"
#include "task/TileAddresses.h"

namespace korvane {

// The task a failed-tile list belongs to, and the lines of the list the re-download may act
// on. A list travels with its task folder from user to user, so its lines are not trusted: a
// line is taken only when its file is a tile of this task in the task's tile folder and its
// address is the one the task fetches that tile from. Anything else could make the
// re-download write a server's answer over any file the user can write.
class FailedListTask {
 public:
  // The task of the list at listPath: "<folder>/<name>.krvn" beside "<folder>/<name>_failed.ftl"
  // (TaskFileOfFailedList), its protocol's tile hosts read from the configuration now. A list of
  // another name, or one whose task file is missing or describes no tiles, accepts no line.
  explicit FailedListTask(const std::string& listPath);

  // The file to store the line's tile in when the line names a tile of the task (the tile
  // folder's "gv_X_Y_Z.jpg" of the task's zoom inside its grid, the folder compared after
  // resolving links and relative parts) at the address the task asks for it; else nothing.
  std::optional<std::string> TileFileOf(const FailedTile& line) const;

  // The protocol the task was fetched with; nothing when the list accepts no line.
  std::optional<PanoramaProtocol> Protocol() const {
    return task_ ? task_->Protocol : std::nullopt;
  }

 private:
  std::optional<TaskFile> task_;
  std::string tileFolder_;  // ends with "/"
  std::optional<TileAddresses> addresses_;
};

}  // namespace korvane
