// A plan file of korvane-cli --around/--area/--route, read back to be continued. Whatever the
// file holds, it is refused with a reason or read into rows with usable ids, each once,
// positions on the globe and a known state, and a plan read back writes and reads as itself.
#include <cstdlib>
#include <set>

#include "FuzzTarget.h"
#include "discover/PanoramaPlan.h"
#include "task/PanoIdCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string path = fuzz::ScratchFile("fuzz_plan.csv", fuzz::AsText(data, size));
  PanoramaPlan plan;
  try {
    plan = ReadPlan(path);
  } catch (const PlanFileError& error) {
    if (error.Message().empty()) std::abort();
    return 0;
  }
  std::set<std::string> ids;
  for (const PlanRow& row : plan) {
    if (!IsUsablePanoId(row.PanoId) || !ids.insert(row.PanoId).second) std::abort();
    if (!IsOnGlobe(row.Latitude, row.Longitude)) std::abort();
  }
  WritePlan(path, plan);
  if (!(ReadPlan(path) == plan)) std::abort();
  return 0;
}
