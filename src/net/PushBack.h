#pragma once

#include <optional>
#include <string>

#include "net/FailureKind.h"
#include "platform/Clock.h"

namespace korvane {

class HttpClient;

// How today's service says that it wants fewer requests from this client: a 429 answer, a 503
// answer that names a wait (Retry-After), a redirect to its "unusual traffic" page (a "/sorry/"
// path) or its consent page (a "consent." host), and a success answer that is an HTML page
// instead of the data asked for. ClassifyFailure marks such failures PushBack; the repeat
// policies back off on them instead of giving up like on a ban.
inline constexpr int TooManyRequestsStatus = 429;
inline constexpr int ServiceUnavailableStatus = 503;

// How every caller backs off on push-back (RepeatRule::LongestPause): the first pause, doubled
// on every further attempt up to the longest.
inline constexpr Milliseconds PushBackFirstWait{1000};
inline constexpr Milliseconds PushBackLongestWait{60'000};

// The wait a Retry-After value asks for: delta-seconds only ("120"); nothing for an HTTP date,
// an empty or malformed value. Values beyond a day are read as a day: no caller waits that long.
std::optional<Milliseconds> ParseRetryAfter(const std::string& value);

// A Location that leads to the service's "unusual traffic" or consent page.
bool IsRefusalAddress(const std::string& location);

// A Content-Type of a page for people ("text/html", any parameters, any letter case).
bool IsHtmlContentType(const std::string& contentType);

// True when a reply with this status, Location and Retry-After pushes back.
bool IsPushBackReply(int status, const std::string& location, bool namesRetryAfter);

// The client's Get, raising HtmlPageError for a success answer that is an HTML page: for
// callers that ask for a picture or data and must tell a refusal page from a broken answer.
HttpGetFunction RefuseHtmlPages(HttpClient& client);

}  // namespace korvane
