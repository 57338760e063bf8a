#pragma once

#include <string>

#include "platform/PathLock.h"
#include "task/DownloadTask.h"

namespace korvane {

// One run per task at a time, whichever window or process starts it: held from before the
// task's files are first written until the run's end sequence is over. The lock is on the
// task's tile folder, which every run of the task uses and no save replaces (the task file is
// replaced by each save, so a lock on it would not last). A crashed or killed run loses it
// with its process.
class TaskRunLock {
 public:
  // Raises Exception(AlreadyRunningText(taskName)) when another run holds the task. On a file
  // system without locks the run goes ahead unguarded, as before there was a lock.
  TaskRunLock(const DownloadTask& task, const std::string& taskName);

  // "Task " + taskName + " is already running."
  static std::string AlreadyRunningText(const std::string& taskName);

 private:
  PathLock lock_;
};

}  // namespace korvane
