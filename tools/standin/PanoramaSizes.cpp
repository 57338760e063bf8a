#include "PanoramaSizes.h"

#include "StandinLimits.h"
#include "task/TileGeometry.h"

namespace korvane::standin {

namespace {

constexpr std::uint64_t KindKey = 0x6b696e646f667061ULL;
// Of every 16 cells, about this many hold each rarer size.
constexpr std::uint64_t KindSpread = 16;
constexpr std::uint64_t SmallShare = 1;
constexpr std::uint64_t MediumShare = 4;
// How far PointOfSize walks; every size turns up long before.
constexpr int MaxCellsWalked = 10'000;

}  // namespace

bool PanoramaShape::IsGridTile(int x, int y, int zoom) const {
  if (!HasZoom(zoom) || x < 0 || y < 0) return false;
  const int columns = TilesCovering(WidthAt(zoom));
  const int rows = TilesCovering(HeightAt(zoom));
  return x < columns && y < rows;
}

PanoramaSize SizeOfCell(const PanoramaCell& cell) {
  const std::uint64_t packed =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cell.LatIndex)) << 32) |
      static_cast<std::uint32_t>(cell.LonIndex);
  const std::uint64_t draw = MixBits(packed ^ KindKey) % KindSpread;
  if (draw < SmallShare) return PanoramaSize::Small;
  if (draw < SmallShare + MediumShare) return PanoramaSize::Medium;
  return PanoramaSize::Large;
}

PanoramaShape ShapeOf(PanoramaSize size) {
  switch (size) {
    case PanoramaSize::Small:
      return {3328, 1664, 3};
    case PanoramaSize::Medium:
      return {13312, 6656, 5};
    case PanoramaSize::Large:
      break;
  }
  return {16384, 8192, 5};
}

std::optional<std::pair<double, double>> PointOfSize(PanoramaSize size, double latitude,
                                                     double longitude) {
  auto cell = CellOf(latitude, longitude);
  if (!cell) return std::nullopt;
  for (int i = 0; i < MaxCellsWalked; ++i, ++cell->LonIndex) {
    if (SizeOfCell(*cell) != size) continue;
    const double lat = CellCentreLatitude(*cell);
    const double lon = CellCentreLongitude(*cell);
    if (CellOf(lat, lon) == cell) return std::make_pair(lat, lon);
  }
  return std::nullopt;
}

}  // namespace korvane::standin
