#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace korvane::standin {

// An answer before it goes on the wire: the connection adds Content-Length (or the chunks),
// Connection and the framing the fault plan asks for.
struct Reply {
  int Status = 200;
  std::string Reason = "OK";
  std::string ContentType;
  std::vector<std::pair<std::string, std::string>> Headers;  // further headers, e.g. Location
  std::shared_ptr<const std::string> Body = std::make_shared<const std::string>();
};

}  // namespace korvane::standin
