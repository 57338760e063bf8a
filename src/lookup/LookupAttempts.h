#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "net/FailureKind.h"
#include "net/RepeatPolicy.h"

namespace korvane {

class HttpClient;

// The largest lookup answer a lookup takes. A real answer of the current protocol is about
// 3 KB, about 475 KB when it carries the depth map; the classic one is smaller still. Four
// times the largest keeps room for the service's answers to grow, while a hostile answer can
// no longer make the lookup hold tens of MiB and build a JSON tree forty times that size.
inline constexpr std::size_t MaxLookupAnswerBytes = 2 * 1024 * 1024;

// Sets a lookup's client up: the browser headers and the answer cap above.
void PrepareLookupClient(HttpClient& client);

// A lookup's repeat table: how it gives up is at most one line.
using LookupRepeatPolicy = RepeatPolicy<GiveUpLine>;

// The tables of the two lookups. One attempt counter serves every kind, and a pause of 500 ms
// follows every failed attempt that is repeated:
//   reset (10054) or closed gracefully: up to 30 attempts, the line M + "->" + address on each
//     failure, then "Failed to get the pano_id.";
//   302 or 403: up to 4 attempts, then the ban line;
//   404: at once the line address + ":Error: the url is not found on server.";
//   socket error: up to 4 attempts, then "Error: your network is with problem.";
//   any other error: up to 10 attempts, the line M + "->" + address on each repeated one;
//   a failure without a message: up to 4 attempts, no line;
//   the service refusing the key, the API or billing (Map Tiles API): at once its message.
const LookupRepeatPolicy& ClassicLookupRepeats();
// The same, backing off whenever today's service pushes back (PushBack.h: 429, a 503 naming a
// wait, a redirect to its refusal or consent page, an HTML page) for up to
// LookupPushBackAttempts attempts (with the full waits 1 + 2 + 4 + 8 + 16 s, about half a
// minute: the start waits on it), then the line LookupRefusingStart + the reply +
// LookupRefusingEnd.
const LookupRepeatPolicy& CurrentLookupRepeats();
inline constexpr int LookupPushBackAttempts = 6;
inline constexpr const char* LookupRefusingStart = "The service is refusing requests (";
inline constexpr const char* LookupRefusingEnd = "); please try again later.";

// Writes "Getting pano_id now, please wait..." and GETs the address until an attempt succeeds
// or the repeat table gives up (pauses through TheClock()). stopped (may be empty) is asked
// before every attempt and after every failed one: a stopped lookup (its request aborted) gives
// up at once, without a line, since the service did not fail. Returns the answer body, or
// nothing when the table gave up (its lines written) or the lookup was stopped. Never raises for
// a failure of the GET.
std::optional<std::string> FetchLookupAnswer(
    const HttpGetFunction& get, const std::string& address, const LookupRepeatPolicy& repeats,
    const std::function<void(const std::string&)>& addLogLine,
    const std::function<bool()>& stopped);

}  // namespace korvane
