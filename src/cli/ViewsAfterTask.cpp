#include "cli/ViewsAfterTask.h"

#include "cli/CombineAfterTask.h"
#include "views/ViewSet.h"

namespace korvane {

ExitStatus ViewsOfEndedTask(const std::string& taskFile, int count, std::ostream& out,
                            std::ostream& err) {
  if (const auto refused = RefuseUnlessWhole(taskFile, "No views", err)) return *refused;
  ViewJob job;
  job.Input = taskFile;
  job.Views = ViewsAround(count, DefaultViewWidth, DefaultViewHeight);
  return MakeViews(job, out, err, "View: ");
}

}  // namespace korvane
