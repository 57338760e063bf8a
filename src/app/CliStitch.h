#pragma once

#include <ostream>
#include <string>

namespace korvane {

// korvane-cli --stitch, after the task's end sequence: when every tile of the task is there
// and none is listed as failed, joins them into the panorama beside the task file (an existing
// picture is kept) and prints "Panorama: PATH" on out; otherwise prints why it did not on err
// ("Not combined: ..."). Returns 0 when combined or declined, 1 when the combine failed (its
// one-line message on err).
int StitchEndedTask(const std::string& taskFile, std::ostream& out, std::ostream& err);

}  // namespace korvane
