#include "retry/FailedListTask.h"

#include <filesystem>
#include <system_error>

#include "platform/Exception.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "task/TaskFileNames.h"

namespace korvane {
namespace {

// The same folder once links and "." / ".." are resolved; a folder that does not exist is no
// tile folder.
bool SameFolder(const std::string& a, const std::string& b) {
  if (a.empty() || b.empty()) return false;
  std::error_code error;
  const std::filesystem::path first = std::filesystem::canonical(a, error);
  if (error) return false;
  const std::filesystem::path second = std::filesystem::canonical(b, error);
  return !error && first == second;
}

}  // namespace

FailedListTask::FailedListTask(const std::string& listPath) {
  const std::optional<std::string> taskFile = TaskFileOfFailedList(listPath);
  if (!taskFile || !FileExists(*taskFile)) return;
  TaskFile file = ReadTaskFile(*taskFile);
  if (!file.Protocol) return;
  try {
    file.CheckDescribesTiles(*taskFile);
  } catch (const Exception&) {
    return;
  }
  tileFolder_ = TaskFileNamesOf(*taskFile).TileFolder;
  addresses_.emplace(*file.Protocol);
  task_ = std::move(file);
}

std::optional<std::string> FailedListTask::TileFileOf(const FailedTile& line) const {
  if (!task_) return std::nullopt;
  const std::optional<TileFileId> tile = ParseTileFileName(ExtractFileName(line.File));
  if (!tile || tile->Zoom != *task_->Zoom) return std::nullopt;
  const TileGrid grid = task_->TileGridOrZoomGrid();
  if (!grid.ContainsColumn(tile->X) || !grid.ContainsRow(tile->Y)) return std::nullopt;
  if (!SameFolder(ExtractFilePath(line.File), tileFolder_)) return std::nullopt;
  if (line.Address != addresses_->Of(task_->PanoId, tile->X, tile->Y, tile->Zoom))
    return std::nullopt;
  return tileFolder_ + TileFileName(tile->X, tile->Y, tile->Zoom);
}

}  // namespace korvane
