#include "session/TaskFileRequest.h"

#include "platform/IniFile.h"
#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFileKeys.h"

namespace korvane {
namespace {

// What the zoom box shows for a task file without a usable zoom.
constexpr int MissingZoom = 18;

}  // namespace

StartRequest RequestFromTaskFile(const std::string& path) {
  TIniFile taskFile(path);
  StartRequest request;
  request.SavePath = ExtractFilePath(path);
  request.TaskName = ExtractFileName(path);
  request.Latitude = taskFile.ReadString(AreaSection, LatitudeKey, "");
  request.Longitude = taskFile.ReadString(AreaSection, LongitudeKey, "");
  request.Zoom = IntToStr(taskFile.ReadInteger(ZoomSection, ZoomKey, MissingZoom));
  return request;
}

}  // namespace korvane
