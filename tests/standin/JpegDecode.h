#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::test {

// A JPEG file decoded in full with libjpeg.
struct DecodedJpeg {
  bool Ok = false;    // decoded without a fatal error
  std::string Error;  // the library's message when not Ok
  int Warnings = 0;   // recoverable damage the library reported (premature end, bad data)
  int Width = 0;
  int Height = 0;
  int Components = 0;
  bool Progressive = false;
  std::vector<std::uint8_t> Pixels;  // RGB, rows top to bottom

  int At(int x, int y, int channel) const {
    return Pixels[(static_cast<std::size_t>(y) * Width + x) * 3 + channel];
  }
};

DecodedJpeg DecodeJpeg(std::string_view bytes);

}  // namespace korvane::test
