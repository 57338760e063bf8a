#include "cli/CombineAfterTask.h"

#include "combine/CombineTask.h"
#include "combine/TaskTiles.h"
#include "platform/Exception.h"
#include "platform/NumberFormat.h"

namespace korvane {

std::optional<ExitStatus> RefuseUnlessWhole(const std::string& taskFile, const std::string& refusal,
                                            std::ostream& err) {
  try {
    const TaskTiles tiles = ReadTaskTiles(taskFile);
    const auto missing = static_cast<long long>(MissingTilePaths(tiles).size());
    const int total = tiles.ColumnsInImage() * tiles.RowsInImage();
    if (missing > 0) {
      err << refusal << ": " << IntToStr(missing) << " of " << IntToStr(total)
          << " tiles are missing.\n";
      return ExitStatus::Incomplete;
    }
    const int failed = FailedTileCount(tiles);
    if (failed > 0) {
      err << refusal << ": " << IntToStr(failed) << " tiles failed and have substitutes (listed in "
          << tiles.FailedListPath << "; --retry fetches them again).\n";
      return ExitStatus::Incomplete;
    }
  } catch (const Exception& error) {
    err << error.Message() << '\n';
    return ExitStatus::Error;
  }
  return std::nullopt;
}

ExitStatus CombineEndedTask(const std::string& taskFile, std::ostream& out, std::ostream& err) {
  if (const auto refused = RefuseUnlessWhole(taskFile, "Not combined", err)) return *refused;
  const CombineOutcome outcome = CombineTask(taskFile, "", DefaultCombineQuality, false);
  if (outcome.Status != ExitStatus::Complete) {
    err << outcome.Message << '\n';
    return ExitStatus::Error;
  }
  out << "Panorama: " << outcome.Report.OutputPath << '\n';
  return ExitStatus::Complete;
}

}  // namespace korvane
