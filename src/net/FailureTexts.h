#pragma once

#include <string_view>

namespace korvane {

// The fixed parts of the client's error texts that callers classify failures by, and the lines
// the callers show for them. Each caller tests them in its own order.
namespace FailureText {
inline constexpr std::string_view ConnectionReset = "10054";
inline constexpr std::string_view AddressInUse = "10048";
inline constexpr std::string_view ClosedGracefully = "Connection Closed Gracefully";
inline constexpr std::string_view SocketFailure = "Socket Error";
inline constexpr std::string_view Redirect = "302";
inline constexpr std::string_view Forbidden = "403";
inline constexpr std::string_view NotFound = "404";
inline constexpr std::string_view BadRequest = "400";
}  // namespace FailureText

// Shown when the service answers 302 or 403: it refuses this client. One line holding a line
// feed.
inline constexpr const char* BannedLine =
    "Error: may be your IP is banned.\nPlease try again later.";

// A plain, case-sensitive substring test of an error's message.
inline bool MessageContains(std::string_view message, std::string_view part) {
  return message.find(part) != std::string_view::npos;
}

}  // namespace korvane
