#pragma once

#include <netinet/in.h>

#include <string>

namespace korvane {

// The IPv4 address of a host name: "LOCALHOST" in any letter case is 127.0.0.1, a dotted IPv4
// address stands for itself, anything else goes to the system resolver (first IPv4 address).
// Every failure raises SocketError 11001 ("Socket Error # 11001\r\n"). Thread-safe.
in_addr ResolveHost(const std::string& host);

}  // namespace korvane
