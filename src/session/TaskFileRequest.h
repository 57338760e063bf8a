#pragma once

#include <string>

#include "session/StartRequest.h"

namespace korvane {

// The start request that continues the task file at path, as Open task fills the boxes: the
// file's folder and name, its latitude and longitude texts as stored, and its zoom (18 when the
// file has none, so Start refuses it with the zoom message), and its panorama id when the task
// was started by id (so it is asked for again, not the place). A file that cannot be read gives
// empty coordinates, which Start then refuses.
StartRequest RequestFromTaskFile(const std::string& path);

}  // namespace korvane
