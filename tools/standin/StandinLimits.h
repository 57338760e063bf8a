#pragma once

#include <chrono>
#include <cstddef>

// Every limit of the stand-in service in one place: request sizes, connection counts, waits,
// cache size and the picture geometry the real service is known for.
namespace korvane::standin {

using Milliseconds = std::chrono::milliseconds;

// Requests. A request whose head breaks one of these gets 400 and the connection is closed.
inline constexpr std::size_t MaxRequestLineBytes = 8 * 1024;
inline constexpr std::size_t MaxHeaderLineBytes = 8 * 1024;
inline constexpr std::size_t MaxRequestHeadBytes = 64 * 1024;
inline constexpr int MaxHeaderCount = 100;
// A GET carries no body; one announced with Content-Length is read and dropped up to this size.
inline constexpr std::size_t MaxRequestBodyBytes = 64 * 1024;
inline constexpr std::size_t ReceiveChunkBytes = 16 * 1024;

// Connections.
inline constexpr int ListenBacklog = 128;
// Connections beyond this count are closed as soon as they are accepted.
inline constexpr int MaxConnections = 1024;
// A keep-alive connection with no new request for this long is closed, as real servers do.
inline constexpr Milliseconds IdleTimeout{60'000};
// A client that takes no reply bytes for this long loses its connection.
inline constexpr Milliseconds SendTimeout{30'000};
// After a graceful close the server reads what the client still sends for at most this long,
// so that unread request bytes do not turn the close into a reset.
inline constexpr Milliseconds CloseDrainTimeout{2'000};
// How often the accepting thread wakes up to join finished connection threads.
inline constexpr Milliseconds ReapInterval{1'000};

// Fault plans.
inline constexpr std::size_t MaxPlanLineBytes = 4 * 1024;
inline constexpr int MaxPlanDelayMs = 10 * 60 * 1000;
// The chunk size of a chunked reply.
inline constexpr std::size_t ReplyChunkBytes = 4 * 1024;
// drip: the time between two bytes unless the plan names one, and the longest it may name.
inline constexpr int DefaultDripMs = 1000;
inline constexpr int MaxDripMs = 60 * 1000;
// oversize: the body announced unless the plan names a size: one byte more than the 64 MiB
// the program's client takes.
inline constexpr long long OversizeBodyBytes = 64LL * 1024 * 1024 + 1;
// oversize, endless: the filler goes out in pieces of this size.
inline constexpr std::size_t FillerBlockBytes = 64 * 1024;

// status retry-after=, ratelimit retry-after=: the longest wait a plan may name.
inline constexpr int MaxRetryAfterSeconds = 24 * 60 * 60;
// The status of a request over a plan's rate limit.
inline constexpr int TooManyRequestsStatus = 429;

// Tiles and panoramas. Their geometry (tile size, zoom levels, the classic panorama's size) is
// the service's, which the program knows too: task/TileGeometry.h.
inline constexpr int JpegQuality = 85;
// The placeholder (grayscale, all black): at this quality it has the real one's 1184 bytes.
inline constexpr int PlaceholderQuality = 50;
// Encoded tiles kept in memory; the least recently used go first beyond this size.
inline constexpr std::size_t MaxCachedTileBytes = 256 * 1024 * 1024;

// Metadata.
inline constexpr double SnapMetres = 50.0;
inline constexpr double MetresPerDegreeLatitude = 111'320.0;
// No panorama beyond this absolute latitude.
inline constexpr double MaxCoveredLatitude = 80.0;
inline constexpr int PanoIdLength = 22;

}  // namespace korvane::standin
