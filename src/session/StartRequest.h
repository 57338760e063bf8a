#pragma once

#include <optional>
#include <string>

#include "config/Config.h"
#include "lookup/StartLookup.h"
#include "task/PanoramaRecord.h"
#include "task/TaskParameters.h"

namespace korvane {

// What the task name and zoom boxes hold before the user types anything.
inline constexpr const char* DefaultTaskName = "newtask.krvn";
inline constexpr const char* DefaultZoomText = "3";

// How one start reaches the service. ProtocolName is the protocol as the configuration (or a
// command line) names it, checked by Start after the typed inputs, so a wrong name is refused
// in its turn. Hosts fill it for every start, from the configuration as it is at that moment:
// a change saved in the Options window counts from the next Start on.
struct ServiceRoute {
  std::string ProtocolName;
  ProxySettings Proxy;
  // The requests in flight at the start of a task of today's protocols.
  int Connections = DefaultConnections;
};

// The protocol name, the proxy and the connections as the configuration holds them now.
ServiceRoute ReadServiceRoute();

// One press of Start: the five input texts exactly as typed, and the service route. The start
// rules compare typed texts (a task continues only when the coordinates, zoom, folder and name
// read the same as in its task file), so nothing here is converted before the session sees it.
struct StartRequest {
  std::string TaskName;
  std::string Latitude;
  std::string Longitude;
  std::string Zoom;
  std::string SavePath;
  ServiceRoute Service{};
  // Not a box: a panorama id to download instead of the one nearest the point (a map link that
  // names one, korvane-cli --pano, a task file started by id), and the capture month wanted at
  // the place (korvane-cli --date, a batch row's date).
  std::string PanoId{};
  std::optional<CaptureMonth> Date{};
  // A batch of the Map Tiles API: its session and the place's panorama (StartLookupHints).
  StartLookupHints Known{};
};

}  // namespace korvane
