#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace korvane::viewer {

// A picture of packed 8-bit RGB pixels, rows top to bottom, no padding between rows.
struct RgbBuffer {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;

  RgbBuffer() = default;
  RgbBuffer(int width, int height)
      : Width(width), Height(height), Pixels(static_cast<std::size_t>(width) * height * 3) {}

  bool Empty() const { return Width <= 0 || Height <= 0; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(Width) * 3; }
  std::uint8_t* Row(int y) { return Pixels.data() + static_cast<std::size_t>(y) * RowBytes(); }
  const std::uint8_t* Row(int y) const {
    return Pixels.data() + static_cast<std::size_t>(y) * RowBytes();
  }
  const std::uint8_t* At(int x, int y) const { return Row(y) + static_cast<std::size_t>(x) * 3; }
};

}  // namespace korvane::viewer
