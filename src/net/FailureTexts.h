#pragma once

#include <string>

namespace korvane {

// Shown when the service answers 302 or 403: it refuses this client. One line holding a line
// feed.
inline constexpr const char* BannedLine =
    "Error: may be your IP is banned.\nPlease try again later.";

// A tile the service does not have (404 or 400): the re-download writes the tile's address and
// this text; the tile fetch writes it without its colon, before the reply's message.
inline constexpr char ImageNotFoundSuffix[] = ":Error: the image is not found on server.";
inline constexpr const char* ImageNotFoundText = ImageNotFoundSuffix + 1;

// Shown when today's service keeps pushing back (PushBack.h) until the caller gives up; reply is
// the failure's message ("429 Too Many Requests").
inline constexpr const char* RefusingStart = "The service is refusing requests (";
inline constexpr const char* RefusingTaskEnd =
    "); the task was stopped and can be continued later.";
inline std::string RefusingLine(const std::string& reply) {
  return RefusingStart + reply + RefusingTaskEnd;
}
// The same for a re-download, whose list stays as it was.
inline constexpr const char* RefusingRetryEnd =
    "); the re-download was stopped and can be run again later.";

}  // namespace korvane
