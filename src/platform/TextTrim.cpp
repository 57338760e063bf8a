#include "platform/TextTrim.h"

namespace korvane {
namespace {

template <typename Padding>
std::string_view Trim(std::string_view text, Padding isPadding) {
  while (!text.empty() && isPadding(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && isPadding(text.back()))
    text.remove_suffix(1);
  return text;
}

}  // namespace

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

bool IsSpace(char c) {
  return IsBlank(c) || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

std::string_view TrimBlanks(std::string_view text) {
  return Trim(text, IsBlank);
}

std::string_view TrimSpace(std::string_view text) {
  return Trim(text, IsSpace);
}

}  // namespace korvane
