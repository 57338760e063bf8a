#include "cli/BatchRows.h"

#include "session/StartRules.h"

namespace korvane {

BatchRows::BatchRows(BatchListReader& reader, FindPanoramas findPanoramas)
    : reader_(reader), findPanoramas_(std::move(findPanoramas)) {}

std::optional<BatchRows::Item> BatchRows::Next() {
  if (pending_.empty()) ReadChunk();
  if (pending_.empty()) return std::nullopt;
  Item item = std::move(pending_.front());
  pending_.pop_front();
  return item;
}

void BatchRows::ReadChunk() {
  if (!findPanoramas_) {
    if (std::optional<BatchListReader::Row> row = reader_.Next())
      pending_.push_back({std::move(*row), std::nullopt});
    return;
  }
  std::vector<GeoPoint> points;
  std::vector<std::size_t> asked;  // the pending item of each point
  while (points.size() < MaxPanoIdsLocations) {
    std::optional<BatchListReader::Row> row = reader_.Next();
    if (!row) break;
    if (row->Place) {
      // Only what Start would accept: a place it refuses is refused with its own message.
      const double latitude = ConvertCoordinateText(row->Place->Latitude);
      const double longitude = ConvertCoordinateText(row->Place->Longitude);
      if (!CheckCoordinateRanges(longitude, latitude)) {
        points.emplace_back(latitude, longitude);
        asked.push_back(pending_.size());
      }
    }
    pending_.push_back({std::move(*row), std::nullopt});
  }
  if (points.empty()) return;
  const std::optional<std::vector<std::string>> ids = findPanoramas_(points);
  if (!ids) return;
  for (std::size_t i = 0; i < asked.size(); ++i)
    pending_[asked[i]].PanoId = (*ids)[i];
}

}  // namespace korvane
