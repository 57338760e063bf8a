#pragma once

#include <string>

#include "task/PanoramaProtocol.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// The most workers a task runs; also the number of resume slots a task file keeps.
inline constexpr int MaxThreadCount = 8;

// Requests a task of today's protocols has in flight when it starts, unless the configuration
// says otherwise, and the most it may ever have (also the most the configuration may ask for).
inline constexpr int DefaultConnections = 8;
inline constexpr int MaxConnections = 64;

// What the user and the configuration supplied for one press of Start.
struct TaskParameters {
  double Longitude = 0;
  double Latitude = 0;
  std::string PanoId;
  int Zoom = 0;
  // Start sets MaxThreadCount and lowers it to the grid's TotalCount before any worker runs.
  int ThreadCount = MaxThreadCount;
  // Today's protocols: the requests in flight at the start (1..MaxConnections); the classic
  // protocol's eight workers do not read it.
  int Connections = DefaultConnections;
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
  // All the lookup told of the panorama, written beside the task file at each start.
  PanoramaRecord Record;
  // The panorama was asked for by its id: the task file says so, and continuing the task asks
  // for the id again instead of looking the place up.
  bool StartedById = false;
};

}  // namespace korvane
