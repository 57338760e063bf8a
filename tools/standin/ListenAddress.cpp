#include "ListenAddress.h"

#include <arpa/inet.h>

#include <charconv>

#include "platform/Exception.h"

namespace korvane::standin {

ListenAddress ParseListenAddress(std::string_view text) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string_view::npos) {
    throw Exception("listen address \"" + std::string(text) + "\" is not ADDR:PORT");
  }
  ListenAddress address;
  address.Host = std::string(text.substr(0, colon));
  if (address.Host == "localhost") address.Host = "127.0.0.1";
  in_addr ipv4{};
  if (inet_pton(AF_INET, address.Host.c_str(), &ipv4) != 1 || (ntohl(ipv4.s_addr) >> 24) != 127) {
    throw Exception("listen address \"" + std::string(text) +
                    "\" is not on the loopback network 127.0.0.0/8");
  }
  const std::string_view port = text.substr(colon + 1);
  const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), address.Port);
  if (port.empty() || error != std::errc() || end != port.data() + port.size() ||
      address.Port < 0 || address.Port > 65535) {
    throw Exception("listen port \"" + std::string(port) + "\" is not a number from 0 to 65535");
  }
  return address;
}

}  // namespace korvane::standin
