#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "platform/ExitStatus.h"

namespace korvane {

// korvane-cli --stitch, after the task's end sequence: when every tile of the task is there
// and none is listed as failed, joins them into the panorama beside the task file (an existing
// picture is kept) and prints "Panorama: PATH" on out; otherwise prints why it did not on err
// ("Not combined: ..."). Returns Complete when combined, Incomplete when declined, Error when
// the combine failed (its one-line message on err).
ExitStatus CombineEndedTask(const std::string& taskFile, std::ostream& out, std::ostream& err);

// Whether the ended task has every tile and none listed as failed: nothing when so, else the
// status to end with after saying why on err ("<refusal>: N of M tiles are missing.", ...).
std::optional<ExitStatus> RefuseUnlessWhole(const std::string& taskFile, const std::string& refusal,
                                            std::ostream& err);

}  // namespace korvane
