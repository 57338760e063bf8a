#pragma once

#include <nlohmann/json.hpp>

#include "task/PanoramaRecord.h"

namespace korvane {

// What the current protocol's panorama message M tells of the panorama, where peers of this
// program read it (the lookup's answer holds M at R[1], the by-id answer at R[1][0]):
//   M[1][1]                  the id
//   M[2][2]                  [height, width] of the full picture
//   M[2][3][1]               [height, width] of a tile
//   M[3][2]                  address lines, each [text, language]
//   M[4][0][0][0][0]         the copyright line
//   M[5][0][1][0][2], [3]    latitude, longitude of the camera
//   M[5][0][1][1][0]         elevation
//   M[5][0][1][2][0..2]      heading, 90 - tilt, roll (degrees)
//   M[5][0][3][0]            the panoramas around: the panorama itself first, then its
//                            neighbours and its other captures, each with its id at [0][1]
//   M[5][0][6]               links, each [index into M[5][0][3][0], [_, _, _, bearing]]
//   M[5][0][8]               other captures, each [index into M[5][0][3][0], [year, month]]
//   M[6][7]                  [year, month] of the capture
// Every part is optional; the record is checked (CheckedPanoramaRecord) before it is returned.
// The full size falls back to the largest size per zoom when M[2][2] is not readable.
PanoramaRecord RecordFromPanoramaMessage(const nlohmann::json& panorama);

}  // namespace korvane
