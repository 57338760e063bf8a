#include "PanoramaPainter.h"

#include <algorithm>
#include <cmath>

#include "DigitFont.h"
#include "PanoramaId.h"
#include "StandinLimits.h"
#include "TileGrid.h"

namespace korvane::standin {

namespace {

constexpr int SkylineSegments = 72;  // 5 degrees each
constexpr double MarkTop = 0.38;     // heading marks span these fractions of the height
constexpr double MarkBottom = 0.62;
constexpr double MarkLabelTop = 0.327;  // clear of the tile labels of row 1 at zoom 3 to 5
constexpr double SunRadius = 0.025;     // in fractions of the height
constexpr int LabelScale = 2;
constexpr int LabelPadding = 3;
constexpr int LabelMargin = 4;

constexpr Rgb SkyTop{35, 85, 170};
constexpr Rgb SkyHorizon{175, 210, 238};
constexpr Rgb GroundHorizon{122, 126, 100};
constexpr Rgb GroundBottom{55, 60, 48};
constexpr Rgb Sun{255, 244, 210};
constexpr Rgb HorizonLine{30, 30, 30};
constexpr Rgb WindowLight{214, 206, 150};
constexpr Rgb Ink{255, 255, 255};
constexpr Rgb Paper{0, 0, 0};
constexpr Rgb MarkLabelPaper{40, 40, 40};

std::uint8_t Lerp(std::uint8_t from, std::uint8_t to, double t) {
  return static_cast<std::uint8_t>(std::lround(from + (to - from) * t));
}

Rgb Lerp(Rgb from, Rgb to, double t) {
  return {Lerp(from.R, to.R, t), Lerp(from.G, to.G, t), Lerp(from.B, to.B, t)};
}

Rgb Darker(Rgb colour, int amount) {
  auto down = [amount](std::uint8_t c) {
    return static_cast<std::uint8_t>(std::max(0, static_cast<int>(c) - amount));
  };
  return {down(colour.R), down(colour.G), down(colour.B)};
}

}  // namespace

PanoramaPainter::PanoramaPainter(std::string_view panoId, int zoom)
    : PanoramaPainter(panoId, ClassicPanoramaWidth(zoom), ClassicPanoramaHeight(zoom),
                      ZoomScale(zoom)) {}

PanoramaPainter::PanoramaPainter(std::string_view panoId, int width, int height, int scale)
    : width_(width),
      height_(height),
      scale_(scale),
      seed_(StableHash(panoId)),
      sunU_(static_cast<double>(seed_ & 0xffff) / 65536.0),
      sunV_(0.12 + static_cast<double>((seed_ >> 16) & 0xff) / 255.0 * 0.2) {
  for (int segment = 0; segment < SkylineSegments; ++segment) {
    const std::uint64_t r = MixBits(seed_ + static_cast<std::uint64_t>(segment));
    const bool gap = r % 5 == 0;  // a street or a square between the buildings
    const double tall = 0.02 + static_cast<double>((r >> 8) % 1000) / 1000.0 * 0.10;
    skylineTop_.push_back(gap ? height_ / 2 : height_ / 2 - static_cast<int>(tall * height_));
    const int grey = 70 + static_cast<int>((r >> 20) % 90);
    const int warm = static_cast<int>((r >> 28) % 30);
    buildingColour_.push_back({static_cast<std::uint8_t>(grey + warm),
                               static_cast<std::uint8_t>(grey + warm / 2),
                               static_cast<std::uint8_t>(grey)});
  }
}

PixelBox PanoramaPainter::HeadingMark(int k) const {
  PixelBox box;
  box.Left = static_cast<int>(static_cast<long long>(k) * width_ / HeadingMarkCount);
  box.Top = static_cast<int>(MarkTop * height_);
  box.Width = 2 * scale_;
  box.Height = static_cast<int>(MarkBottom * height_) - box.Top;
  return box;
}

// Painting works row by row with what each column holds worked out once: a tile is painted
// on its first request while a client waits.
void PanoramaPainter::Paint(int left, int top, RgbImage& image) const {
  struct Column {
    bool Inside = false;
    int SkylineTop = 0;
    Rgb Building;
    bool Window = false;
    bool Paving = false;
    double SunDu = 0.0;  // distance to the sun's heading, in fractions of the height
  };
  std::vector<Column> columns(static_cast<std::size_t>(image.Width()));
  for (int col = 0; col < image.Width(); ++col) {
    const int x = left + col;
    Column& column = columns[static_cast<std::size_t>(col)];
    column.Inside = x >= 0 && x < width_;
    if (!column.Inside) continue;
    const auto segment =
        static_cast<std::size_t>(static_cast<long long>(x) * SkylineSegments / width_);
    column.SkylineTop = skylineTop_[segment];
    column.Building = buildingColour_[segment];
    column.Window = (x / (3 * scale_)) % 3 == 1;
    column.Paving = (x / (16 * scale_)) % 2 == 1;
    // The panorama is twice as wide as high, so a step in u is twice a step in v.
    const double du = std::fabs((x + 0.5) / width_ - sunU_);
    column.SunDu = std::min(du, 1.0 - du) * 2.0;
  }
  const int horizon = height_ / 2;
  for (int row = 0; row < image.Height(); ++row) {
    const int y = top + row;
    std::uint8_t* out = image.Row(row);
    auto put = [&out](Rgb colour) {
      out[0] = colour.R;
      out[1] = colour.G;
      out[2] = colour.B;
      out += 3;
    };
    if (y < 0 || y >= height_) {
      for (int col = 0; col < image.Width(); ++col)
        put(Rgb{});
      continue;
    }
    const double v = (y + 0.5) / height_;
    if (y >= horizon - scale_ && y < horizon + scale_) {
      for (const Column& column : columns)
        put(column.Inside ? HorizonLine : Rgb{});
    } else if (y < horizon) {
      const Rgb sky = Lerp(SkyTop, SkyHorizon, v / 0.5);
      const bool windowRow = (y / (4 * scale_)) % 3 == 1;
      const double dv = v - sunV_;
      const bool sunRow = std::fabs(dv) < 3.0 * SunRadius;
      for (const Column& column : columns) {
        if (!column.Inside) {
          put(Rgb{});
        } else if (y >= column.SkylineTop) {
          put(windowRow && column.Window ? WindowLight : column.Building);
        } else if (sunRow && column.SunDu < 3.0 * SunRadius) {
          const double distance = std::sqrt(column.SunDu * column.SunDu + dv * dv) / SunRadius;
          put(distance < 1.0 ? Sun : distance < 3.0 ? Lerp(Sun, sky, (distance - 1.0) / 2.0) : sky);
        } else {
          put(sky);
        }
      }
    } else {
      const Rgb ground = Lerp(GroundHorizon, GroundBottom, (v - 0.5) / 0.5);
      const Rgb paving = Darker(ground, 12);
      const bool pavingRow = (y / (8 * scale_)) % 2 == 1;
      for (const Column& column : columns) {
        put(!column.Inside ? Rgb{} : column.Paving != pavingRow ? paving : ground);
      }
    }
  }
  // The marks and their labels lie well inside the panorama, so they need no cut at its edges.
  for (int k = 0; k < HeadingMarkCount; ++k) {
    const PixelBox mark = HeadingMark(k);
    image.FillRect(mark.Left - left, mark.Top - top, mark.Width, mark.Height, HeadingMarkColour);
    const int labelTop = static_cast<int>(MarkLabelTop * height_);
    DrawTextBox(image, std::to_string(30 * k), mark.Left + mark.Width + scale_ - left,
                labelTop - top, 2 * scale_, scale_, Ink, MarkLabelPaper);
  }
}

std::string TileLabelText(int x, int y, int zoom) {
  return "x" + std::to_string(x) + " y" + std::to_string(y) + " z" + std::to_string(zoom);
}

PixelBox TileLabelBox(int x, int y, int zoom) {
  const std::string text = TileLabelText(x, y, zoom);
  return {LabelMargin, LabelMargin, TextBoxWidth(text, LabelScale, LabelPadding),
          TextBoxHeight(LabelScale, LabelPadding)};
}

int ZoomScale(int zoom) {
  return zoom <= 1 ? 1 : 1 << (zoom - 1);
}

RgbImage RenderTile(std::string_view panoId, int x, int y, int zoom) {
  return RenderTile(PanoramaPainter(panoId, zoom), x, y, zoom);
}

RgbImage RenderTile(const PanoramaPainter& painter, int x, int y, int zoom) {
  RgbImage tile(TilePixels, TilePixels);
  painter.Paint(x * TilePixels, y * TilePixels, tile);
  const PixelBox label = TileLabelBox(x, y, zoom);
  DrawTextBox(tile, TileLabelText(x, y, zoom), label.Left, label.Top, LabelScale, LabelPadding, Ink,
              Paper);
  return tile;
}

}  // namespace korvane::standin
