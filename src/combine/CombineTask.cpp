#include "combine/CombineTask.h"

#include <new>

#include "combine/TaskTiles.h"
#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {

CombineOutcome CombineTask(const std::string& taskFile, const std::string& outputPath, int quality,
                           bool force, const std::function<bool(int, int)>& progress) {
  CombineOutcome outcome;
  try {
    const TaskTiles tiles = ReadTaskTiles(taskFile);
    CombineRequest request;
    request.OutputPath = outputPath.empty() ? DefaultPanoramaPath(taskFile) : outputPath;
    request.Quality = quality;
    request.Replace = force;
    request.Progress = progress;
    outcome.Report = CombinePanorama(tiles, request);
  } catch (const Exception& error) {
    outcome.Message = error.Message();
    return outcome;
  } catch (const std::bad_alloc&) {
    outcome.Message = "Out of memory.";
    return outcome;
  }
  const auto missing = outcome.Report.MissingTiles.size();
  if (missing == 0) {
    outcome.Status = ExitStatus::Complete;
  } else {
    outcome.Status = ExitStatus::Incomplete;
    outcome.Message = "Incomplete: " + IntToStr(static_cast<long long>(missing)) + " of " +
                      IntToStr(outcome.Report.TileCount) + " tiles missing, filled with grey.";
  }
  return outcome;
}

}  // namespace korvane
