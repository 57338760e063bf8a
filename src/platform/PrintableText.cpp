#include "platform/PrintableText.h"

namespace korvane {
namespace {

constexpr unsigned char Blank = 0x20;
constexpr unsigned char Delete = 0x7f;
// UTF-8 writes U+0080..U+009F as this lead byte and a second byte from 0x80 to 0x9F.
constexpr unsigned char C1Lead = 0xc2;
constexpr unsigned char C1First = 0x80;
constexpr unsigned char C1Last = 0x9f;

bool IsC0OrDelete(unsigned char c) {
  return c < Blank || c == Delete;
}

bool IsC1At(std::string_view text, std::size_t at) {
  if (static_cast<unsigned char>(text[at]) != C1Lead || at + 1 >= text.size()) return false;
  const auto next = static_cast<unsigned char>(text[at + 1]);
  return next >= C1First && next <= C1Last;
}

}  // namespace

std::string PrintableText(std::string_view text) {
  std::string printable;
  printable.reserve(text.size());
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (IsC1At(text, at)) {
      printable.push_back(ControlReplacement);
      ++at;  // both bytes of the one character
    } else if (IsC0OrDelete(static_cast<unsigned char>(text[at]))) {
      printable.push_back(ControlReplacement);
    } else {
      printable.push_back(text[at]);
    }
  }
  return printable;
}

bool IsPrintableText(std::string_view text) {
  for (std::size_t at = 0; at < text.size(); ++at) {
    if (IsC1At(text, at) || IsC0OrDelete(static_cast<unsigned char>(text[at]))) return false;
  }
  return true;
}

}  // namespace korvane
