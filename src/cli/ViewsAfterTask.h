#pragma once

#include <ostream>
#include <string>

#include "platform/ExitStatus.h"

namespace korvane {

// korvane-cli --views N, after the task's end (and after --stitch): when every tile of the
// task is there and none is listed as failed, makes N views evenly round the horizon beside the
// task file ("<task>_view_<heading>.jpg", mosaicker --views N) and prints "View: PATH" for
// each on out; otherwise says why not on err ("No views: ..."). Returns Complete when made,
// Incomplete when declined, Error when a view could not be made (its message on err).
ExitStatus ViewsOfEndedTask(const std::string& taskFile, int count, std::ostream& out,
                            std::ostream& err);

}  // namespace korvane
