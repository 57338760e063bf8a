#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvane::standin {

struct Rgb {
  std::uint8_t R = 0;
  std::uint8_t G = 0;
  std::uint8_t B = 0;
};

// A picture of packed 8-bit RGB pixels, rows top to bottom; starts black.
class RgbImage {
 public:
  RgbImage(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {}

  int Width() const { return width_; }
  int Height() const { return height_; }
  const std::uint8_t* Data() const { return pixels_.data(); }
  std::uint8_t* Row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_ * 3; }
  const std::uint8_t* Row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * width_ * 3;
  }

  Rgb At(int x, int y) const {
    const std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    return {p[0], p[1], p[2]};
  }

  void Set(int x, int y, Rgb colour) {
    std::uint8_t* p = Row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = colour.R;
    p[1] = colour.G;
    p[2] = colour.B;
  }

  // Fills the part of the rectangle that lies inside the picture.
  void FillRect(int left, int top, int width, int height, Rgb colour) {
    const int x0 = std::max(left, 0);
    const int y0 = std::max(top, 0);
    const int x1 = std::min(left + width, width_);
    const int y1 = std::min(top + height, height_);
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x)
        Set(x, y, colour);
    }
  }

 private:
  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace korvane::standin
