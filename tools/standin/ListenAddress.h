#pragma once

#include <string>
#include <string_view>

namespace korvane::standin {

// Where the service listens: an IPv4 loopback address (127.0.0.0/8, or "localhost") and a port,
// 0 for any free port. The stand-in never listens beyond the machine.
struct ListenAddress {
  std::string Host;  // dotted IPv4
  int Port = 0;
};

// "ADDR:PORT"; raises korvane::Exception with the reason for anything else.
ListenAddress ParseListenAddress(std::string_view text);

}  // namespace korvane::standin
