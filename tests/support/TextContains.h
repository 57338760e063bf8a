#pragma once

#include <string>

namespace korvane::test {

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace korvane::test
