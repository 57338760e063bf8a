#pragma once

#include <string>

namespace korvane {

// Section and key names of the task file (".krvn").
inline constexpr const char* TaskFileExtension = ".krvn";
inline constexpr const char* MapsTypeSection = "MapsType";
inline constexpr const char* MapsTypeKey = "MapsType";
inline constexpr const char* AreaSection = "AREA";
inline constexpr const char* LatitudeKey = "Latitude";
inline constexpr const char* LongitudeKey = "Longitude";
inline constexpr const char* PanoSection = "Pano";
inline constexpr const char* PanoIdKey = "Pano_id";
inline constexpr const char* ZoomSection = "Zoom";
inline constexpr const char* ZoomKey = "Zoom";
inline constexpr const char* ThreadsSection = "THREADS";

// "T" + (index + 1) + "X" / "Y": the resume position keys of worker `index` (0-based).
inline std::string ThreadKeyX(int index) {
  return "T" + std::to_string(index + 1) + "X";
}
inline std::string ThreadKeyY(int index) {
  return "T" + std::to_string(index + 1) + "Y";
}

}  // namespace korvane
