#include "session/TaskFileRequest.h"

#include "platform/NumberFormat.h"
#include "platform/Paths.h"
#include "task/TaskFile.h"

namespace korvane {
namespace {

// What the zoom box shows for a task file without a usable zoom.
constexpr int MissingZoom = 18;

}  // namespace

StartRequest RequestFromTaskFile(const std::string& path) {
  const TaskFile taskFile = ReadTaskFile(path);
  StartRequest request;
  request.SavePath = ExtractFilePath(path);
  request.TaskName = ExtractFileName(path);
  request.Latitude = taskFile.Latitude;
  request.Longitude = taskFile.Longitude;
  request.Zoom = IntToStr(taskFile.Zoom.value_or(MissingZoom));
  if (taskFile.StartedById) request.PanoId = taskFile.PanoId;
  return request;
}

}  // namespace korvane
