// A task file as Open task and continue read it: the keys the window shows, the resume
// positions and every worker's walk over the grid. Whatever the file holds, the positions stay
// inside the grid and the walks end.
#include <cstdlib>

#include "FuzzTarget.h"
#include "download/TileWalk.h"
#include "platform/Exception.h"
#include "platform/IniFile.h"
#include "platform/ProgramFolder.h"
#include "task/DownloadTask.h"
#include "task/TaskFileKeys.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  static const bool programFolderSet = [] {
    SetProgramFolder(fuzz::ScratchFolder());
    return true;
  }();
  (void)programFolderSet;
  const std::string path = fuzz::ScratchFile("task.krvn", fuzz::AsText(data, size));
  TIniFile taskFile(path);
  taskFile.ReadString(AreaSection, LatitudeKey, "");
  taskFile.ReadString(AreaSection, LongitudeKey, "");
  taskFile.ReadString(PanoSection, PanoIdKey, "");
  const int zoom = taskFile.ReadInteger(ZoomSection, ZoomKey, 18);

  TaskParameters params;
  params.Zoom = IsValidZoom(zoom) ? zoom : 3;
  params.SavePath = fuzz::ScratchFolder();
  params.TaskFileName = "task.krvn";
  params.ContinueTask = true;
  const DownloadTask task(&params);
  for (int index = 0; index < MaxThreadCount; ++index) {
    const int skip = task.ResumeSkip(index);
    if (skip < 0 || skip > task.TotalCount) std::abort();
    TileWalk walk(task.Grid(), MaxThreadCount, index, skip);
    int steps = 0;
    while (walk.Next()) {
      if (++steps > task.TotalCount) std::abort();
    }
  }
  return 0;
}
