#pragma once

#include <string_view>

#include "lookup/CurrentLookupAnswer.h"
#include "task/PanoramaRecord.h"

namespace korvane {

// The Map Tiles API's metadata answer, a JSON object: "panoId", "lat", "lng", "imageWidth" and
// "imageHeight" (the picture at its highest zoom), "tileWidth", "tileHeight", "heading",
// "tilt", "roll", "date" ("YYYY-MM"), "copyright", "links" ([{"panoId","heading"}...]).
// Answer holds what the download needs, in the current lookup's terms (the size at every zoom
// from 0: the highest zoom is the first whose tiles cover the picture, each lower one halves
// both sides); Record everything checked that the answer told.
struct MapTilesMetadata {
  CurrentLookupAnswer Answer;
  PanoramaRecord Record;
};

// A pure function of the bytes: never raises. An answer without a usable id, 512-pixel tiles
// or a size the download can cut is Unreadable (with its Problem).
MapTilesMetadata ParseMapTilesMetadata(std::string_view body);

}  // namespace korvane
