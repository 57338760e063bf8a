#pragma once

#include <netinet/in.h>

#include <string>

#include "platform/Clock.h"

namespace korvane {

class AbortSignal;

// The IPv4 address of a host name: "LOCALHOST" in any letter case is 127.0.0.1, a dotted IPv4
// address stands for itself, anything else goes to the system resolver (first IPv4 address).
// Every failure raises SocketError 11001 ("Socket Error # 11001\r\n"), and so does a resolver
// that has not answered within realTimeout: the system resolver runs on a thread of its own,
// left to finish by itself. With an abort signal, raising it ends the wait at once with
// RequestAbortedError. Thread-safe.
in_addr ResolveHost(const std::string& host, Milliseconds realTimeout,
                    const AbortSignal* abort = nullptr);

}  // namespace korvane
