#pragma once

#include <string>

#include "task/PanoramaRecord.h"

namespace korvane {

// The record for people, one "Name: value" line per known field (each line ending in a line
// end), in the order of the record file's fields; a list gives a line per item:
//   Panorama: ID
//   Protocol: current
//   Position: 48.858400, 2.294500
//   Elevation: 35.2 m
//   Heading: 123.45 degrees
//   Tilt: 0.50 degrees / Roll: -0.30 degrees
//   Taken: 2019-07
//   Copyright: (c) 2019 ...
//   Address: 1 Main Street
//   Link: ID, bearing 90.00 degrees
//   Other date: 2015-03, ID
//   Size: 16384 x 8192, tiles 512 x 512
// The record is checked first (CheckedPanoramaRecord), so no outside text carries control
// characters to the terminal.
std::string PanoramaRecordText(const PanoramaRecord& record);

}  // namespace korvane
