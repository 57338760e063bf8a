#pragma once

#include <string>

namespace korvane {

// Texts users see whose spelling and padding are kept on purpose: stored logs and users'
// scripts match them. Do not correct them.
namespace KeptText {
inline constexpr const char* TaskStoppedLogLine = "Task Stoped!";
inline const std::string TaskStoppedBox = "Task stoped!" + std::string(20, ' ');
inline constexpr const char* FailedWindowHeader = "[Failed tile inforamtion window]";
inline constexpr const char* RedownloadFailedFilesItem = "re-dowload failed files";
inline const std::string NoTaskRunningBox = "No task running now." + std::string(18, ' ');
inline const std::string NoLogFileBox = "No logfile now." + std::string(25, ' ');

// "Thread<n>will be terminated by user. please wait...", n from 1.
inline std::string WorkerWillBeTerminatedLine(int number) {
  return "Thread" + std::to_string(number) + "will be terminated by user. please wait...";
}
}  // namespace KeptText

}  // namespace korvane
