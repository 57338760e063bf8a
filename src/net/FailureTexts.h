#pragma once

namespace korvane {

// Shown when the service answers 302 or 403: it refuses this client. One line holding a line
// feed.
inline constexpr const char* BannedLine =
    "Error: may be your IP is banned.\nPlease try again later.";

}  // namespace korvane
