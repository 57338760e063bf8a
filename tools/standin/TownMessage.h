#pragma once

#include <nlohmann/json.hpp>

#include "PanoramaSizes.h"
#include "StreetNetwork.h"

// The town's panoramas as the current protocol's message M (PanoramaMessage.h lays it out), so
// a client walks the town over the service as the walks' tests walk it in process.
namespace korvane::standin {

// Every panorama of the town has this size; its tiles are painted as any panorama's.
inline constexpr PanoramaSize TownPanoramaSize = PanoramaSize::Large;

// M for one capture of the town: its position, heading and date, its links (to the newest
// captures of the places beside it, with their bearings) and its other dates, whole.
nlohmann::json TownPanoramaMessage(const StreetNetwork& town, const PanoramaRecord& capture);

}  // namespace korvane::standin
