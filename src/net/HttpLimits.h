#pragma once

#include <cstddef>

#include "platform/Clock.h"

namespace korvane {

// Every limit of the HTTP client in one place. Time-outs are nominal: the real wait is
// TheClock().RealTimeout(timeout), so a test clock can shorten them.

// How long opening a TCP connection may take before it fails with socket error 10060. A name
// lookup before it waits at most as long again (then "host not found", 11001).
inline constexpr Milliseconds DefaultConnectTimeout{30'000};
// How long any single wait for the server (the TLS handshake's and the proxy tunnel's sends and
// receives, sending the request, each receive of the reply) may take before it fails with socket
// error 10060. A server that trickles bytes resets it each time; the reply time-out below and the
// byte limits bound such a reply.
inline constexpr Milliseconds DefaultReadTimeout{60'000};
// How long one whole request may take, from its start to the last byte of the body: the
// connect, the proxy's tunnel, the TLS handshake, sending the request and the reply, however
// steadily their bytes come. A server or proxy that drips a byte now and then never runs into
// the read time-out, and the byte limits alone would let it hold a worker for days. Then socket
// error 10060, as for a read time-out. Generous for a tile or an answer on the slowest line.
inline constexpr Milliseconds DefaultReplyTimeout{180'000};
// A clock that turns a positive time-out into no real time at all would make every socket wait
// fail at once; such a time-out waits this long instead.
inline constexpr Milliseconds RealTimeoutWhenClockSkipsWaits{5'000};

// The port of URLs that name none.
inline constexpr int DefaultHttpPort = 80;
inline constexpr int DefaultHttpsPort = 443;

// One line of the reply head (status line, header line, chunk-size line, trailer line),
// without its line end.
inline constexpr std::size_t MaxReplyLineBytes = 8 * 1024;
// The status line and all header lines together, line ends and the closing empty line included.
// The trailer lines after a chunked body have the same allowance.
inline constexpr std::size_t MaxReplyHeadBytes = 64 * 1024;
// The reply body, however it is framed (a tile is some tens of KiB).
inline constexpr std::size_t MaxReplyBodyBytes = 64 * 1024 * 1024;
// Hexadecimal digits of a chunk size, leading zeros included.
inline constexpr std::size_t MaxChunkSizeDigits = 16;
// How many bytes one receive call asks the socket for while reading the reply head.
inline constexpr std::size_t ReceiveBlockBytes = 16 * 1024;

// The cookie lookup's result buffer: a cookie text must be shorter than this (room for the
// terminating NUL of the original store's interface), or the lookup gives the empty text.
inline constexpr std::size_t CookieBufferBytes = 1024;

}  // namespace korvane
