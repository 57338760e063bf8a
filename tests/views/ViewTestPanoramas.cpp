#include "ViewTestPanoramas.h"

#include <cmath>
#include <numbers>

#include "CombineTestTiles.h"
#include "JpegEncoder.h"
#include "PanoramaPainter.h"
#include "platform/FileSystem.h"
#include "task/TaskFileNames.h"
#include "task/TileGeometry.h"
#include "task/TileGrid.h"

namespace korvane::test {
namespace {

constexpr int Quality = 95;
constexpr double Pi = std::numbers::pi;

}  // namespace

std::array<double, 3> SphereColour(double x, double y, double z) {
  return {128 + 100 * x, 128 + 100 * y, 128 + 100 * z};
}

standin::RgbImage SpherePanorama(int width, int height) {
  standin::RgbImage image(width, height);
  for (int v = 0; v < height; ++v) {
    const double pitch = Pi / 2 - (v + 0.5) / height * Pi;
    for (int u = 0; u < width; ++u) {
      const double angle = (u + 0.5) / width * 2 * Pi;
      const auto colour = SphereColour(std::cos(pitch) * std::cos(angle),
                                       std::cos(pitch) * std::sin(angle), std::sin(pitch));
      image.Set(u, v,
                {static_cast<std::uint8_t>(std::lround(colour[0])),
                 static_cast<std::uint8_t>(std::lround(colour[1])),
                 static_cast<std::uint8_t>(std::lround(colour[2]))});
    }
  }
  return image;
}

std::string WritePictureTask(const std::string& folder, const std::string& name, int zoom,
                             const standin::RgbImage& picture) {
  const std::string task = WriteCombineTask(folder, name, ClassicAtZoom(zoom));
  const TileGrid grid = GridForZoom(zoom);
  for (int y = grid.MinY; y <= grid.MaxY; ++y) {
    for (int x = grid.MinX; x <= grid.MaxX; ++x) {
      standin::RgbImage tile(TilePixels, TilePixels);
      for (int row = 0; row < TilePixels; ++row) {
        const int v = y * TilePixels + row;
        for (int column = 0; column < TilePixels; ++column) {
          const int u = x * TilePixels + column;
          if (u < picture.Width() && v < picture.Height()) tile.Set(column, row, picture.At(u, v));
        }
      }
      WriteFileBytes(folder + name + "/" + TileFileName(x, y, zoom),
                     standin::EncodeJpeg(tile, Quality));
    }
  }
  return task;
}

std::string WriteStandinTask(const std::string& folder, const std::string& name, int zoom) {
  const standin::PanoramaPainter painter("view-test-panorama", zoom);
  standin::RgbImage picture(painter.Width(), painter.Height());
  painter.Paint(0, 0, picture);
  return WritePictureTask(folder, name, zoom, picture);
}

bool IsMarkRed(const std::uint8_t* pixel) {
  return pixel[0] > 170 && pixel[1] < 110 && pixel[2] < 110;
}

}  // namespace korvane::test
