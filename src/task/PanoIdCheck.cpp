#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

bool IsIdCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '_';
}

}  // namespace

bool IsUsablePanoId(std::string_view id) {
  if (id.empty() || id.size() > MaxPanoIdLength) return false;
  for (const char c : id) {
    if (!IsIdCharacter(c)) return false;
  }
  return true;
}

}  // namespace korvane
