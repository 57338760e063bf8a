#pragma once

#include <nlohmann/json.hpp>
#include <optional>
#include <utility>

#include "PanoramaId.h"

// The current protocol's panorama message M, laid out as the real service lays it out so that
// clients written against the real service read it: the panorama's id, sizes, address,
// copyright, camera position and orientation, the panoramas around it (itself first, then its
// neighbours in the four cells beside its own, then its other captures), the links to the
// neighbours with their bearings, the dates of the other captures and its own date.
namespace korvane::standin {

// The year and month a capture of a cell was taken; capture 0 is the newest.
std::pair<int, int> CaptureDateOf(const PanoramaCell& cell, int capture);

// Whether the cell's answers leave out all but the parts a download needs (id, sizes,
// position, date): no address, copyright, orientation, full size, panoramas around, links or
// other dates, as real answers sometimes do. About one cell in eight.
bool IsAnsweredInPart(const PanoramaCell& cell);

// The centre of the first cell walking east from the point's whose answers are in part
// (answeredInPart) or whole (!answeredInPart); nothing when the point has no coverage.
std::optional<std::pair<double, double>> PointAnswered(bool answeredInPart, double latitude,
                                                       double longitude);

// M for one capture of a cell.
nlohmann::json PanoramaMessage(const PanoramaCell& cell, int capture);

}  // namespace korvane::standin
