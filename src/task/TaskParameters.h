#pragma once

#include <string>

#include "task/PanoramaProtocol.h"

namespace korvane {

// The most workers a task runs; also the number of resume slots a task file keeps.
inline constexpr int MaxThreadCount = 8;

// What the user and the configuration supplied for one press of Start.
struct TaskParameters {
  double Longitude = 0;
  double Latitude = 0;
  std::string PanoId;
  int Zoom = 0;
  // Start sets MaxThreadCount and lowers it to the grid's TotalCount before any worker runs.
  int ThreadCount = MaxThreadCount;
  PanoramaProtocol Protocol = PanoramaProtocol::Classic;
  std::string SavePath;      // always ends with "/"
  std::string TaskFileName;  // no folder; always ends with ".krvn"
  bool UseProxy = false;
  std::string ProxyServer;
  std::string ProxyPort;  // as typed in the Options window; the workers convert it
  std::string ProxyUsername;
  std::string ProxyPassword;
  bool ContinueTask = false;
  // PanoramaProtocol::Current only, from the lookup: the picture's size at Zoom, the size of a
  // tile, and when it was taken ("YYYY-MM", empty when not known).
  int ImageWidth = 0;
  int ImageHeight = 0;
  int TileWidth = 0;
  int TileHeight = 0;
  std::string CaptureDate;
};

}  // namespace korvane
