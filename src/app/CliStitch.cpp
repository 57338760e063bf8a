#include "app/CliStitch.h"

#include "platform/Exception.h"
#include "platform/NumberFormat.h"
#include "stitch/MosaickerCommand.h"
#include "stitch/TaskTiles.h"

namespace korvane {

int StitchEndedTask(const std::string& taskFile, std::ostream& out, std::ostream& err) {
  try {
    const TaskTiles tiles = ReadTaskTiles(taskFile);
    const auto missing = static_cast<long long>(MissingTilePaths(tiles).size());
    const int total = tiles.ColumnsInImage() * tiles.RowsInImage();
    if (missing > 0) {
      err << "Not combined: " << IntToStr(missing) << " of " << IntToStr(total)
          << " tiles are missing.\n";
      return 0;
    }
    const int failed = FailedTileCount(tiles);
    if (failed > 0) {
      err << "Not combined: " << IntToStr(failed)
          << " tiles failed and have substitutes (listed in " << tiles.FailedListPath
          << "; --retry fetches them again).\n";
      return 0;
    }
  } catch (const Exception& error) {
    err << error.Message() << '\n';
    return 1;
  }
  const CombineOutcome outcome = CombineTask(taskFile, "", DefaultStitchQuality, false);
  if (outcome.ExitStatus != MosaickerComplete) {
    err << outcome.Message << '\n';
    return 1;
  }
  out << "Panorama: " << outcome.Report.OutputPath << '\n';
  return 0;
}

}  // namespace korvane
