#include "session/StartRules.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/PlaceLimits.h"
#include "task/TaskFileKeys.h"
#include "task/TaskParameters.h"

namespace korvane {
namespace {

// What the resume test reads when a key is missing: never equal to a real value.
constexpr int AbsentIntegerKey = 100;

}  // namespace

int ConvertZoomText(const std::string& text) {
  return StrToInt(text);
}

double ConvertCoordinateText(const std::string& text) {
  std::string dotted = text;
  std::replace(dotted.begin(), dotted.end(), ',', '.');
  return CAtof(dotted);
}

std::optional<std::string> CheckCoordinateRanges(double longitude, double latitude) {
  if (longitude > MaxLongitude || longitude < -MaxLongitude) return LongitudeRangeMessage;
  if (latitude > MaxStartLatitude || latitude < -MaxStartLatitude) return LatitudeRangeMessage;
  return std::nullopt;
}

std::string TaskFileNameFor(const std::string& typedName) {
  if (ExtractFileExt(typedName) == TaskFileExtension) return typedName;
  return typedName + TaskFileExtension;
}

bool IsContinuedTask(const ResumeCandidate& candidate) {
  const std::string taskPath = candidate.SavePath + candidate.TaskFileName;
  if (!FileExists(taskPath)) return false;
  TIniFile taskFile(taskPath);
  const std::string panoId = taskFile.ReadString(PanoSection, PanoIdKey, "");
  const std::string longitude = taskFile.ReadString(AreaSection, LongitudeKey, "");
  const std::string latitude = taskFile.ReadString(AreaSection, LatitudeKey, "");
  const int zoom = taskFile.ReadInteger(ZoomSection, ZoomKey, AbsentIntegerKey);
  const int mapsType = taskFile.ReadInteger(MapsTypeSection, MapsTypeKey, AbsentIntegerKey);
  return longitude == candidate.TypedLongitude && latitude == candidate.TypedLatitude &&
         panoId == candidate.PanoId && mapsType == candidate.MapsType &&
         IntToStr(zoom) == candidate.TypedZoom &&
         ExtractFilePath(taskPath) == IncludeTrailingPathDelimiter(candidate.TypedPath) &&
         ExtractFileName(taskPath) == candidate.TypedTaskName;
}

}  // namespace korvane
