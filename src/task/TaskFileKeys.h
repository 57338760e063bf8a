#pragma once

#include <string>

namespace korvane {

// Section and key names of the task file (".krvn"). Only the task file's reader and writer
// (TaskFile.cpp) and the tests that write damaged files use them.
inline constexpr const char* MapsTypeSection = "MapsType";
inline constexpr const char* MapsTypeKey = "MapsType";
inline constexpr const char* AreaSection = "AREA";
inline constexpr const char* LatitudeKey = "Latitude";
inline constexpr const char* LongitudeKey = "Longitude";
inline constexpr const char* PanoSection = "Pano";
inline constexpr const char* PanoIdKey = "Pano_id";
// "1" when the task was started by its panorama id rather than by a place.
inline constexpr const char* ByIdKey = "ById";
inline constexpr const char* ZoomSection = "Zoom";
inline constexpr const char* ZoomKey = "Zoom";
inline constexpr const char* ThreadsSection = "THREADS";
// The tile grid of the task.
inline constexpr const char* GridSection = "XY";
inline constexpr const char* GridMinXKey = "MinX";
inline constexpr const char* GridMinYKey = "MinY";
inline constexpr const char* GridMaxXKey = "MaxX";
inline constexpr const char* GridMaxYKey = "MaxY";
// The panorama's real size at the task's zoom, and when it was taken ("YYYY-MM"), when the
// service tells them (today's service does; the classic one does not).
inline constexpr const char* ImageSection = "Image";
inline constexpr const char* ImageWidthKey = "Width";
inline constexpr const char* ImageHeightKey = "Height";
inline constexpr const char* ImageDateKey = "Date";

// "T" + (index + 1) + "X" / "Y": the resume position keys of worker `index` (0-based).
inline std::string ThreadKeyX(int index) {
  return "T" + std::to_string(index + 1) + "X";
}
inline std::string ThreadKeyY(int index) {
  return "T" + std::to_string(index + 1) + "Y";
}

}  // namespace korvane
