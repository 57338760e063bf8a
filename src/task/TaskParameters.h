#pragma once

#include <string>

namespace korvane {

// The most workers a task runs; also the number of resume slots a task file keeps.
inline constexpr int MaxThreadCount = 8;

// The imagery kind of Street View tiles, the only kind the program defines.
inline constexpr int StreetViewMapsType = 32;

// What the user and the configuration supplied for one press of Start.
struct TaskParameters {
  double Longitude = 0;
  double Latitude = 0;
  std::string PanoId;
  int Zoom = 0;
  // Start sets MaxThreadCount and lowers it to the grid's TotalCount before any worker runs.
  int ThreadCount = MaxThreadCount;
  int MapsType = StreetViewMapsType;
  std::string SavePath;      // always ends with "/"
  std::string TaskFileName;  // no folder; always ends with ".krvn"
  bool UseProxy = false;
  std::string ProxyServer;
  std::string ProxyPort;  // as typed in the Options window; the workers convert it
  std::string ProxyUsername;
  std::string ProxyPassword;
  bool ContinueTask = false;
};

}  // namespace korvane
