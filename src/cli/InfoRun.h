#pragma once

#include <ostream>

#include "platform/ExitStatus.h"
#include "session/StartRequest.h"

namespace korvane {

// korvane-cli --info: the record of the panorama the request names (the one nearest its
// point, its PanoId, or the capture of its Date), looked up with the request's protocol and
// proxy as Start would, without downloading or writing anything but the lookup's kept answer.
// The record goes to out, as text (PanoramaRecordText) or as JSON (the bytes the task's
// "<task>.json" would hold); the lookup's lines and any message go to err. Complete when a
// panorama was found, Error otherwise (a point off the globe, an unknown protocol, no
// panorama, a by-id request the protocol does not offer).
ExitStatus RunInfo(const StartRequest& request, bool json, std::ostream& out, std::ostream& err);

}  // namespace korvane
