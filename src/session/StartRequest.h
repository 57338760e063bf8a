#pragma once

#include <string>

namespace korvane {

// What the task name and zoom boxes hold before the user types anything.
inline constexpr const char* DefaultTaskName = "newtask.krvn";
inline constexpr const char* DefaultZoomText = "3";

// One press of Start: the five input texts exactly as typed. The start rules compare typed
// texts (a task continues only when the coordinates, zoom, folder and name read the same as in
// its task file), so nothing here is converted before the session sees it.
struct StartRequest {
  std::string TaskName;
  std::string Latitude;
  std::string Longitude;
  std::string Zoom;
  std::string SavePath;
};

}  // namespace korvane
