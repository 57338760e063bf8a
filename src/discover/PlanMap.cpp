#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>

#include "discover/PlanOutputs.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace korvane {
namespace {

struct Rgb {
  std::uint8_t R, G, B;
};

constexpr Rgb Background{244, 241, 234};
constexpr Rgb LinkColour{150, 160, 170};
constexpr int MarginPixels = 12;
constexpr int DotRadiusPixels = 3;

Rgb ColourOf(PlanState state) {
  switch (state) {
    case PlanState::Done:
      return {46, 139, 87};
    case PlanState::Incomplete:
    case PlanState::Stopped:
      return {230, 159, 0};
    case PlanState::Failed:
      return {204, 51, 51};
    case PlanState::Planned:
      break;
  }
  return {51, 102, 204};
}

class Canvas {
 public:
  Canvas(int width, int height)
      : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height * 3) {
    for (std::size_t i = 0; i < pixels_.size(); i += 3)
      Put(i, Background);
  }

  void Dot(int x, int y, Rgb colour) {
    for (int dy = -DotRadiusPixels; dy <= DotRadiusPixels; ++dy)
      for (int dx = -DotRadiusPixels; dx <= DotRadiusPixels; ++dx)
        if (dx * dx + dy * dy <= DotRadiusPixels * DotRadiusPixels) Set(x + dx, y + dy, colour);
  }

  // Bresenham's line.
  void Line(int x0, int y0, int x1, int y1, Rgb colour) {
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (true) {
      Set(x0, y0, colour);
      if (x0 == x1 && y0 == y1) return;
      const int twice = 2 * error;
      if (twice >= dy) {
        error += dy;
        x0 += sx;
      }
      if (twice <= dx) {
        error += dx;
        y0 += sy;
      }
    }
  }

  std::string Png() {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, pixels_.data(), 0, nullptr))
      throw Exception("Cannot make the map picture");
    std::string bytes(size, '\0');
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, pixels_.data(), 0, nullptr))
      throw Exception("Cannot make the map picture");
    bytes.resize(size);
    return bytes;
  }

 private:
  void Put(std::size_t at, Rgb colour) {
    pixels_[at] = colour.R;
    pixels_[at + 1] = colour.G;
    pixels_[at + 2] = colour.B;
  }
  void Set(int x, int y, Rgb colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Put((static_cast<std::size_t>(y) * width_ + x) * 3, colour);
  }

  int width_;
  int height_;
  std::vector<std::uint8_t> pixels_;
};

}  // namespace

std::string PlanMapPng(const PanoramaPlan& plan) {
  GeoBox box{};
  if (!plan.empty()) {
    box = {plan[0].Latitude, plan[0].Longitude, plan[0].Latitude, plan[0].Longitude};
    for (const PlanRow& row : plan) {
      box.South = std::min(box.South, row.Latitude);
      box.North = std::max(box.North, row.Latitude);
      box.West = std::min(box.West, row.Longitude);
      box.East = std::max(box.East, row.Longitude);
    }
  }
  // North up, a metre the same on both axes.
  const LocalFrame frame(box.Centre());
  const LocalFrame::Metres low = frame.ToMetres({box.South, box.West});
  const LocalFrame::Metres high = frame.ToMetres({box.North, box.East});
  const double spanEast = std::max(high.East - low.East, 1.0);
  const double spanNorth = std::max(high.North - low.North, 1.0);
  const double inner = MapPixels - 2 * MarginPixels;
  const double scale = inner / std::max(spanEast, spanNorth);
  const int width = static_cast<int>(std::ceil(spanEast * scale)) + 2 * MarginPixels;
  const int height = static_cast<int>(std::ceil(spanNorth * scale)) + 2 * MarginPixels;
  Canvas canvas(width, height);

  std::unordered_map<std::string, std::pair<int, int>> pixelOf;
  for (const PlanRow& row : plan) {
    const LocalFrame::Metres at = frame.ToMetres({row.Latitude, row.Longitude});
    pixelOf[row.PanoId] = {
        MarginPixels + static_cast<int>(std::lround((at.East - low.East) * scale)),
        height - 1 - MarginPixels - static_cast<int>(std::lround((at.North - low.North) * scale))};
  }
  for (const PlanRow& row : plan) {
    const auto [x, y] = pixelOf[row.PanoId];
    for (const std::string& linked : row.Links) {
      const auto other = pixelOf.find(linked);
      if (other != pixelOf.end())
        canvas.Line(x, y, other->second.first, other->second.second, LinkColour);
    }
  }
  for (const PlanRow& row : plan) {
    const auto [x, y] = pixelOf[row.PanoId];
    canvas.Dot(x, y, ColourOf(row.State));
  }
  return canvas.Png();
}

void WritePlanMap(const std::string& path, const PanoramaPlan& plan) {
  WriteFileAtomically(path, PlanMapPng(plan));
}

}  // namespace korvane
