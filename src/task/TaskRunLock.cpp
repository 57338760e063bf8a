#include "task/TaskRunLock.h"

#include "platform/Exception.h"

namespace korvane {

TaskRunLock::TaskRunLock(const DownloadTask& task, const std::string& taskName)
    : lock_(task.TileFolder) {
  if (lock_.GetState() == PathLock::State::Busy) throw Exception(AlreadyRunningText(taskName));
}

std::string TaskRunLock::AlreadyRunningText(const std::string& taskName) {
  return "Task " + taskName + " is already running.";
}

}  // namespace korvane
