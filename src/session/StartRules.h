#pragma once

#include <optional>
#include <string>

#include "task/PanoramaProtocol.h"

namespace korvane {

// The pure rules of the start sequence, kept apart from the window so each can be tested alone.

inline constexpr const char* CoordinateInputErrorMessage = "Longitude or latitude input error!";
inline constexpr const char* LongitudeRangeMessage = "Longitude should be between -180 and 180.";
inline constexpr const char* LatitudeRangeMessage = "Latitude should be between -85 and 85.";
inline constexpr const char* ZoomRangeMessage = "Zoom level should be between 1 and 5.";
inline constexpr const char* NoPanoramaMessage =
    "There are no street view images on this location.";
inline constexpr const char* NoSavePathMessage = "Please select a path to save the images.";
inline constexpr const char* CreateTaskFailureMessage = "Error: Create task failure.";

// "Create directory PATH Failed.": the save folder could not be made.
std::string CreateDirectoryFailedMessage(const std::string& path);

// The zoom box's text as a whole number (strict conversion; raises EConvertError).
int ConvertZoomText(const std::string& text);

// A coordinate box's text: every "," becomes ".", then the C-locale longest-prefix decimal
// conversion; a text with no leading number gives 0.
double ConvertCoordinateText(const std::string& text);

// The range checks, longitude first: the message to show, or nothing when both are in range
// (the bounds themselves are accepted).
std::optional<std::string> CheckCoordinateRanges(double longitude, double latitude);

// The task file name for the name as typed: ".krvn" appended unless the name's extension (from
// its last ".", when no "/" follows it) is exactly ".krvn".
std::string TaskFileNameFor(const std::string& typedName);

// What the resume test compares.
struct ResumeCandidate {
  std::string SavePath;        // the save folder with its trailing "/"
  std::string TaskFileName;    // as made by TaskFileNameFor
  std::string TypedLongitude;  // the boxes' texts as typed
  std::string TypedLatitude;
  std::string TypedZoom;
  std::string TypedPath;
  std::string TypedTaskName;
  std::string PanoId;  // the id just looked up
  // The protocol of the lookup: a task continues only with the protocol it was started with.
  PanoramaProtocol Protocol = PanoramaProtocol::Classic;
  // The panorama was asked for by id: the place typed does not matter, the id does.
  bool ById = false;
};

// True when the task file SavePath + TaskFileName exists and records the same longitude and
// latitude texts, panorama id, protocol, zoom, folder and name as typed. A task asked for by
// id continues a task file started by id with the same id, protocol, zoom, folder and name,
// whatever place either names.
bool IsContinuedTask(const ResumeCandidate& candidate);

}  // namespace korvane
