#include "net/Base64.h"

namespace korvane {

std::string Base64Encode(std::string_view bytes) {
  static constexpr char Alphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string result;
  result.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16 |
                     static_cast<unsigned char>(bytes[i + 1]) << 8 |
                     static_cast<unsigned char>(bytes[i + 2]);
    result += Alphabet[group >> 18 & 63];
    result += Alphabet[group >> 12 & 63];
    result += Alphabet[group >> 6 & 63];
    result += Alphabet[group & 63];
  }
  std::size_t rest = bytes.size() - i;
  if (rest > 0) {
    unsigned group = static_cast<unsigned char>(bytes[i]) << 16;
    if (rest == 2) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    result += Alphabet[group >> 18 & 63];
    result += Alphabet[group >> 12 & 63];
    result += rest == 2 ? Alphabet[group >> 6 & 63] : '=';
    result += '=';
  }
  return result;
}

}  // namespace korvane
