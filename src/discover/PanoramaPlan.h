#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "discover/Walks.h"
#include "platform/Exception.h"

namespace korvane {

// Where a panorama of the plan stands in the run.
enum class PlanState {
  Planned,     // not downloaded yet
  Done,        // every tile in (now or by an earlier run)
  Incomplete,  // the task ended with failed or substituted tiles
  Stopped,     // a stop came while it ran
  Failed,      // its task did not start
};
std::string_view PlanStateText(PlanState state);
std::optional<PlanState> ParsePlanState(std::string_view text);

// One row of "<name>_plan.csv": a panorama to download.
struct PlanRow {
  std::string PanoId;
  double Latitude = 0;
  double Longitude = 0;
  std::string Date;     // "YYYY-MM", empty when not known
  std::string Heading;  // degrees clockwise from north, empty when not known
  PlanState State = PlanState::Planned;
  std::vector<std::string> Links;  // ids of other panoramas of the plan it links to
  bool operator==(const PlanRow&) const = default;
};
using PanoramaPlan = std::vector<PlanRow>;

// The plan of the panoramas found, in their order, all Planned; links keep only the ids the
// plan holds.
PanoramaPlan PlanOf(const FoundPanoramas& found);

// A plan file that cannot be read back: "<path> line N: <reason>" or "Cannot open file PATH".
class PlanFileError : public Exception {
 public:
  using Exception::Exception;
};

// The plan file's text: the header "id,lat,lon,date,heading,state,links", then one row per
// panorama. The state is padded with blanks to PlanStateWidth, so a run can set a row's state
// in place (PlanStateUpdater) without writing the whole plan again.
std::string FormatPlan(const PanoramaPlan& plan);
inline constexpr std::size_t PlanStateWidth = 10;

// Writes the plan whole (WriteFileAtomically); raises FileCreateError.
void WritePlan(const std::string& path, const PanoramaPlan& plan);

// Reads a plan back; every row is checked (usable id, position on the globe, a known state,
// each id once, at most MaxPlanRows rows, MaxPlanFileBytes in all). Raises PlanFileError.
PanoramaPlan ReadPlan(const std::string& path);

// Sets the states of a plan file FormatPlan wrote, one row at a time, each write flushed to
// the disk before the call returns: a run killed at any point leaves every finished panorama
// marked, and a second run continues with the others.
class PlanStateUpdater {
 public:
  // Raises FileCreateError when the file cannot be opened for writing.
  PlanStateUpdater(const std::string& path, const PanoramaPlan& plan);
  ~PlanStateUpdater();
  PlanStateUpdater(const PlanStateUpdater&) = delete;
  PlanStateUpdater& operator=(const PlanStateUpdater&) = delete;

  // Raises FileCreateError when the write fails.
  void Set(std::size_t row, PlanState state);

 private:
  std::string path_;
  int fd_ = -1;
  std::vector<long long> stateOffsets_;
};

// The part of a plan a machine takes with --shard K/N.
struct PlanShard {
  int Index = 1;  // K, 1..Count
  int Count = 1;  // N
};

// Parses "K/N" with 1 <= K <= N <= MaxShards.
std::optional<PlanShard> ParsePlanShard(std::string_view text);

// The 0-based part an id falls in among count parts: a hash of the id itself (FNV-1a), so it
// does not change with the plan's order or length, and parts are disjoint and complete.
int ShardOfId(std::string_view panoId, int count);

// The rows of the plan in the shard's part, in their order.
PanoramaPlan PlanPart(const PanoramaPlan& plan, const PlanShard& shard);

// "<folder>/<name>_plan.csv", or "<folder>/<name>_part<K>of<N>_plan.csv" for a shard's part.
std::string PlanPathFor(const std::string& folder, const std::string& name,
                        const std::optional<PlanShard>& shard);

}  // namespace korvane
