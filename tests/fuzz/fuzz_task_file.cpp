// A task file as Open task, continue and the companions read it: every key the reader knows,
// the resume positions and every worker's walk over the grid of a classic and of a current
// task, and the tiles the combiner and the viewer take from it. Whatever the file holds, the
// positions stay inside the grid, the walks end, and a file the tile reader accepts describes a
// picture its grid covers.
#include <cstdlib>
#include <exception>

#include "FuzzTarget.h"
#include "combine/TaskTiles.h"
#include "download/TileWalk.h"
#include "platform/ProgramFolder.h"
#include "task/DownloadTask.h"
#include "task/TaskFile.h"

namespace {

using namespace korvane;

// Continues the scratch task with the protocol and walks every worker's tiles.
void WalkContinuedTask(PanoramaProtocol protocol, const TaskFile& file) {
  TaskParameters params;
  params.Protocol = protocol;
  params.Zoom = file.Zoom && IsValidZoom(*file.Zoom) ? *file.Zoom : 3;
  // The size a lookup would give when the file records no grid.
  params.ImageWidth = 4096;
  params.ImageHeight = 2048;
  params.TileWidth = params.TileHeight = 512;
  params.SavePath = fuzz::ScratchFolder();
  params.TaskFileName = "task.krvn";
  params.ContinueTask = true;
  const DownloadTask task(&params);
  const int total = task.Grid().TotalCount();
  for (int index = 0; index < MaxThreadCount; ++index) {
    const int skip = task.ResumeSkip(index);
    if (skip < 0 || skip > total) std::abort();
    TileWalk walk(task.Grid(), MaxThreadCount, index, skip);
    int steps = 0;
    while (walk.Next()) {
      if (++steps > total) std::abort();
    }
  }
}

void ReadTiles(const std::string& path) {
  TaskTiles tiles;
  try {
    tiles = ReadTaskTiles(path);
  } catch (const std::exception&) {
    return;  // refused with a message: what a damaged file should get
  }
  if (tiles.ColumnsInImage() > tiles.Grid.Columns() || tiles.RowsInImage() > tiles.Grid.Rows())
    std::abort();
  if (tiles.ImageWidth <= 0 || tiles.ImageHeight <= 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool programFolderSet = [] {
    SetProgramFolder(fuzz::ScratchFolder());
    return true;
  }();
  (void)programFolderSet;
  const std::string path = fuzz::ScratchFile("task.krvn", fuzz::AsText(data, size));
  const TaskFile file = ReadTaskFile(path);
  if (file.Grid && !IsSoundPanoramaGrid(*file.Grid)) std::abort();
  if (file.Image && (file.Image->Width <= 0 || file.Image->Height <= 0)) std::abort();
  WalkContinuedTask(PanoramaProtocol::Classic, file);
  WalkContinuedTask(PanoramaProtocol::Current, file);
  ReadTiles(path);
  return 0;
}
