#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/BatchList.h"
#include "lookup/MapTilesPanoIds.h"

namespace korvane {

// The rows of a batch list, each place with its panorama when the batch finds them many at a
// time (the Map Tiles API's panoIds): the rows are then read ahead MaxPanoIdsLocations places
// at a time, so a list of any length costs the memory of a hundred rows, and the places of a
// chunk whose coordinates Start would accept go to one lookup.
class BatchRows {
 public:
  // The panoramas of the points, one per point ("" none there); nothing when the lookup
  // failed, and the places are then looked up one by one.
  using FindPanoramas =
      std::function<std::optional<std::vector<std::string>>(const std::vector<GeoPoint>&)>;

  // findPanoramas empty: the rows pass through one at a time, with no panorama.
  BatchRows(BatchListReader& reader, FindPanoramas findPanoramas);

  struct Item {
    BatchListReader::Row Row;
    std::optional<std::string> PanoId;  // set for a place its chunk's lookup answered
  };
  std::optional<Item> Next();

 private:
  void ReadChunk();

  BatchListReader& reader_;
  FindPanoramas findPanoramas_;
  std::deque<Item> pending_;
};

}  // namespace korvane
