#include "session/StartRules.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/PlaceLimits.h"
#include "task/TaskFile.h"
#include "task/TaskFileNames.h"

namespace korvane {

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

std::string CreateDirectoryFailedMessage(const std::string& path) {
  return "Create directory " + path + " Failed.";
}

std::string TaskFileNameFor(const std::string& typedName) {
  if (ExtractFileExt(typedName) == TaskFileExtension) return typedName;
  return typedName + TaskFileExtension;
}

bool IsContinuedTask(const ResumeCandidate& candidate) {
  const std::string taskPath = candidate.SavePath + candidate.TaskFileName;
  if (!FileExists(taskPath)) return false;
  const TaskFile recorded = ReadTaskFile(taskPath);
  // A missing zoom or protocol never matches.
  const bool samePlace = candidate.ById ? recorded.StartedById
                                        : !recorded.StartedById &&
                                              recorded.Longitude == candidate.TypedLongitude &&
                                              recorded.Latitude == candidate.TypedLatitude;
  return samePlace && recorded.PanoId == candidate.PanoId &&
         recorded.Protocol == candidate.Protocol && recorded.Zoom &&
         IntToStr(*recorded.Zoom) == candidate.TypedZoom &&
         ExtractFilePath(taskPath) == IncludeTrailingPathDelimiter(candidate.TypedPath) &&
         ExtractFileName(taskPath) == candidate.TypedTaskName;
}

}  // namespace korvane
