#include "viewer/Pyramid.h"

#include <algorithm>
#include <cstring>

#include "viewer/ViewerLimits.h"

namespace korvane::viewer {
namespace {

int CountLevels(int width, int height) {
  int count = 1;
  while (std::max(Pyramid::LevelSide(width, count - 1), Pyramid::LevelSide(height, count - 1)) >
             PyramidSmallestSide &&
         std::min(Pyramid::LevelSide(width, count - 1), Pyramid::LevelSide(height, count - 1)) > 1)
    ++count;
  return count;
}

}  // namespace

Pyramid Pyramid::FromLevel(int width, int height, int level, RgbBuffer pixels) {
  Pyramid pyramid;
  pyramid.width_ = width;
  pyramid.height_ = height;
  const int count = CountLevels(width, height);
  level = std::min(level, count - 1);
  pyramid.levels_.resize(static_cast<std::size_t>(count));
  pyramid.finest_ = level;
  pyramid.levels_[static_cast<std::size_t>(level)] = std::move(pixels);
  for (int l = level + 1; l < count; ++l) {
    pyramid.levels_[static_cast<std::size_t>(l)] =
        RgbBuffer(LevelSide(width, l), LevelSide(height, l));
    const RgbBuffer& finer = pyramid.Level(l - 1);
    pyramid.Halve(l - 1, 0, 0, finer.Width, finer.Height);
  }
  return pyramid;
}

std::uint64_t Pyramid::TotalBytes(int width, int height) {
  std::uint64_t total = 0;
  for (int l = 0; l < CountLevels(width, height); ++l)
    total += static_cast<std::uint64_t>(LevelSide(width, l)) * LevelSide(height, l) * 3;
  return total;
}

void Pyramid::SetFullSize(RgbBuffer pixels) {
  levels_[0] = std::move(pixels);
  for (int l = 1; l < finest_; ++l) {
    levels_[static_cast<std::size_t>(l)] = RgbBuffer(LevelSide(width_, l), LevelSide(height_, l));
    Halve(l - 1, 0, 0, Level(l - 1).Width, Level(l - 1).Height);
  }
  finest_ = 0;
}

void Pyramid::Paste(int left, int top, const RgbBuffer& part) {
  RgbBuffer& base = levels_[0];
  const int x0 = std::max(left, 0);
  const int y0 = std::max(top, 0);
  const int x1 = std::min(left + part.Width, base.Width);
  const int y1 = std::min(top + part.Height, base.Height);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y = y0; y < y1; ++y) {
    std::memcpy(base.Row(y) + static_cast<std::size_t>(x0) * 3, part.At(x0 - left, y - top),
                static_cast<std::size_t>(x1 - x0) * 3);
  }
  int l0 = x0, t0 = y0, r0 = x1, b0 = y1;
  for (int l = 0; l + 1 < LevelCount(); ++l) {
    Halve(l, l0, t0, r0, b0);
    l0 /= 2;
    t0 /= 2;
    r0 = (r0 + 1) / 2;
    b0 = (b0 + 1) / 2;
  }
}

// Averages 2 x 2 pixels of level `level` (the area left..right, top..bottom of it) into the
// next level; a last odd row or column averages with itself.
void Pyramid::Halve(int level, int left, int top, int right, int bottom) {
  const RgbBuffer& from = levels_[static_cast<std::size_t>(level)];
  RgbBuffer& to = levels_[static_cast<std::size_t>(level) + 1];
  const int x0 = left / 2, y0 = top / 2;
  const int x1 = std::min((right + 1) / 2, to.Width), y1 = std::min((bottom + 1) / 2, to.Height);
  for (int y = y0; y < y1; ++y) {
    const std::uint8_t* upper = from.Row(2 * y);
    const std::uint8_t* lower = from.Row(std::min(2 * y + 1, from.Height - 1));
    std::uint8_t* out = to.Row(y) + static_cast<std::size_t>(x0) * 3;
    for (int x = x0; x < x1; ++x) {
      const std::size_t a = static_cast<std::size_t>(2 * x) * 3;
      const std::size_t b = static_cast<std::size_t>(std::min(2 * x + 1, from.Width - 1)) * 3;
      for (int c = 0; c < 3; ++c) {
        *out++ = static_cast<std::uint8_t>(
            (upper[a + c] + upper[b + c] + lower[a + c] + lower[b + c] + 2) / 4);
      }
    }
  }
}

}  // namespace korvane::viewer
