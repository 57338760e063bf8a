#include "lookup/CurrentLookupRecord.h"

#include <map>
#include <set>

#include "lookup/JsonPath.h"
#include "task/PanoramaRecordFile.h"
#include "task/TileGeometry.h"

namespace korvane {
namespace {

using Json = nlohmann::json;

// The service gives the camera's pitch of the picture's centre from straight down; the record
// keeps the tilt up from the horizon.
constexpr double StraightDownToHorizon = 90.0;

std::optional<CaptureMonth> MonthAt(const Json& root, JsonPathIndices path) {
  const Json* pair = JsonAt(root, path);
  if (pair == nullptr) return std::nullopt;
  const auto year = JsonIntegerAt(*pair, {0});
  const auto month = JsonIntegerAt(*pair, {1});
  if (!year || !month || *year < 0 || *year > 9999 || *month < 1 || *month > 12) {
    return std::nullopt;
  }
  return CaptureMonth{static_cast<int>(*year), static_cast<int>(*month)};
}

int SideAt(const Json& root, JsonPathIndices path) {
  const auto side = JsonIntegerAt(root, path);
  return side && *side > 0 && *side <= MaxAnsweredPictureSide ? static_cast<int>(*side) : 0;
}

// The entries of an array at the path (none when it is no array).
const Json& ListAt(const Json& root, JsonPathIndices path) {
  static const Json empty = Json::array();
  const Json* list = JsonAt(root, path);
  return list != nullptr && list->is_array() ? *list : empty;
}

void ReadAddress(const Json& panorama, PanoramaRecord& record) {
  for (const Json& line : ListAt(panorama, {3, 2})) {
    if (auto text = JsonTextAt(line, {0})) record.AddressLines.push_back(std::move(*text));
  }
}

void ReadAround(const Json& panorama, PanoramaRecord& record) {
  const Json& around = ListAt(panorama, {5, 0, 3, 0});
  const auto idOf = [&around](const Json& index) -> std::string {
    if (!index.is_number_unsigned() && !index.is_number_integer()) return "";
    const long long at = index.get<long long>();
    if (at <= 0 || static_cast<std::size_t>(at) >= around.size()) return "";  // 0: itself
    return JsonTextAt(around[static_cast<std::size_t>(at)], {0, 1}).value_or("");
  };

  std::set<std::string> dated;
  for (const Json& entry : ListAt(panorama, {5, 0, 8})) {
    const Json* index = JsonAt(entry, {0});
    const std::string id = index != nullptr ? idOf(*index) : "";
    if (id.empty()) continue;
    record.OtherDates.push_back({id, MonthAt(entry, {1})});
    dated.insert(id);
  }
  std::map<std::string, double> bearings;
  for (const Json& entry : ListAt(panorama, {5, 0, 6})) {
    const Json* index = JsonAt(entry, {0});
    const std::string id = index != nullptr ? idOf(*index) : "";
    const auto bearing = JsonNumberAt(entry, {1, 3});
    if (!id.empty() && bearing) bearings.emplace(id, *bearing);
  }
  for (std::size_t at = 1; at < around.size(); ++at) {
    const auto id = JsonTextAt(around[at], {0, 1});
    if (!id || id->empty() || dated.count(*id) != 0 || *id == record.PanoId) continue;
    PanoramaLink link{*id, std::nullopt};
    if (const auto found = bearings.find(*id); found != bearings.end())
      link.Bearing = found->second;
    record.Links.push_back(std::move(link));
  }
}

}  // namespace

PanoramaRecord RecordFromPanoramaMessage(const Json& panorama) {
  PanoramaRecord record;
  record.Protocol = PanoramaProtocol::Current;
  record.PanoId = JsonTextAt(panorama, {1, 1}).value_or("");
  record.Latitude = JsonNumberAt(panorama, {5, 0, 1, 0, 2});
  record.Longitude = JsonNumberAt(panorama, {5, 0, 1, 0, 3});
  record.Elevation = JsonNumberAt(panorama, {5, 0, 1, 1, 0});
  record.Heading = JsonNumberAt(panorama, {5, 0, 1, 2, 0});
  if (const auto pitch = JsonNumberAt(panorama, {5, 0, 1, 2, 1})) {
    record.Tilt = StraightDownToHorizon - *pitch;
  }
  record.Roll = JsonNumberAt(panorama, {5, 0, 1, 2, 2});
  record.Date = MonthAt(panorama, {6, 7});
  record.Copyright = JsonTextAt(panorama, {4, 0, 0, 0, 0}).value_or("");
  ReadAddress(panorama, record);
  ReadAround(panorama, record);
  record.ImageHeight = SideAt(panorama, {2, 2, 0});
  record.ImageWidth = SideAt(panorama, {2, 2, 1});
  if (record.ImageWidth == 0 || record.ImageHeight == 0) {
    const Json& sizes = ListAt(panorama, {2, 3, 0});
    for (std::size_t zoom = sizes.size(); zoom-- > 0;) {
      const int height = SideAt(sizes[zoom], {0, 0});
      const int width = SideAt(sizes[zoom], {0, 1});
      if (height > 0 && width > 0) {
        record.ImageWidth = width;
        record.ImageHeight = height;
        break;
      }
    }
  }
  record.TileHeight = SideAt(panorama, {2, 3, 1, 0});
  record.TileWidth = SideAt(panorama, {2, 3, 1, 1});
  return CheckedPanoramaRecord(std::move(record));
}

}  // namespace korvane
