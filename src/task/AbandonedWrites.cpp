#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "task/DownloadTask.h"

namespace korvane {

void DownloadTask::RemoveAbandonedWrites() const {
  RemoveAbandonedTemporaries(TileFolder);
  for (const std::string& file : {TaskFilePath(), LogFileName, FailedFileName})
    RemoveAbandonedTemporaries(ExtractFilePath(file), ExtractFileName(file));
}

}  // namespace korvane
