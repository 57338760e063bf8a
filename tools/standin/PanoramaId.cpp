#include "PanoramaId.h"

#include <cmath>
#include <numbers>

#include "StandinLimits.h"

namespace korvane::standin {

namespace {

constexpr std::string_view IdAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr int BitsPerIdChar = 6;
constexpr int IdBits = PanoIdLength * BitsPerIdChar;  // 132: check, masked cell, check nibble
constexpr std::uint64_t CheckKey = 0x6b6f7276616e6531ULL;
constexpr std::uint64_t MaskKey = 0x7374616e64696e32ULL;
constexpr std::uint64_t NibbleKey = 0x70616e6f72616d33ULL;
constexpr std::uint64_t CaptureKey = 0x6361707475726534ULL;

std::uint64_t Pack(const PanoramaCell& cell) {
  return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cell.LatIndex)) << 32) |
         static_cast<std::uint32_t>(cell.LonIndex);
}

PanoramaCell Unpack(std::uint64_t packed) {
  return {static_cast<std::int32_t>(static_cast<std::uint32_t>(packed >> 32)),
          static_cast<std::int32_t>(static_cast<std::uint32_t>(packed))};
}

// The check bits of a cell's capture; capture 0's are those of the ids before captures.
std::uint64_t CheckOf(const PanoramaCell& cell, int capture) {
  return MixBits(Pack(cell) ^ CheckKey ^ (static_cast<std::uint64_t>(capture) * CaptureKey));
}

double LatitudeStep() {
  return SnapMetres / MetresPerDegreeLatitude;
}

// Cells shrink in longitude degrees towards the poles so they stay about SnapMetres wide.
double LongitudeStep(std::int32_t latIndex) {
  const double centre = (latIndex + 0.5) * LatitudeStep();
  return LatitudeStep() / std::cos(centre * std::numbers::pi / 180.0);
}

// The id's 132 bits, most significant first: 64 check bits, the 64 cell bits masked with a
// value derived from the check, and 4 more check bits.
struct IdBitsValue {
  std::uint64_t Check = 0;
  std::uint64_t Masked = 0;
  std::uint64_t Nibble = 0;
};

int BitAt(const IdBitsValue& value, int index) {
  if (index < 64) return static_cast<int>((value.Check >> (63 - index)) & 1);
  if (index < 128) return static_cast<int>((value.Masked >> (127 - index)) & 1);
  return static_cast<int>((value.Nibble >> (IdBits - 1 - index)) & 1);
}

void SetBit(IdBitsValue& value, int index) {
  if (index < 64) {
    value.Check |= 1ULL << (63 - index);
  } else if (index < 128) {
    value.Masked |= 1ULL << (127 - index);
  } else {
    value.Nibble |= 1ULL << (IdBits - 1 - index);
  }
}

}  // namespace

std::optional<PanoramaCell> CellOf(double latitude, double longitude) {
  if (!std::isfinite(latitude) || !std::isfinite(longitude)) return std::nullopt;
  if (std::fabs(latitude) > MaxCoveredLatitude || std::fabs(longitude) > 180.0) {
    return std::nullopt;
  }
  PanoramaCell cell;
  cell.LatIndex = static_cast<std::int32_t>(std::floor(latitude / LatitudeStep()));
  cell.LonIndex = static_cast<std::int32_t>(std::floor(longitude / LongitudeStep(cell.LatIndex)));
  return cell;
}

double CellCentreLatitude(const PanoramaCell& cell) {
  return (cell.LatIndex + 0.5) * LatitudeStep();
}

double CellCentreLongitude(const PanoramaCell& cell) {
  return (cell.LonIndex + 0.5) * LongitudeStep(cell.LatIndex);
}

std::string PanoIdOf(const PanoramaCell& cell, int capture) {
  IdBitsValue value;
  value.Check = CheckOf(cell, capture);
  value.Masked = Pack(cell) ^ MixBits(value.Check ^ MaskKey);
  value.Nibble = MixBits(value.Check ^ NibbleKey) >> 60;
  std::string id;
  for (int c = 0; c < PanoIdLength; ++c) {
    int digit = 0;
    for (int b = 0; b < BitsPerIdChar; ++b)
      digit = (digit << 1) | BitAt(value, c * 6 + b);
    id += IdAlphabet[static_cast<std::size_t>(digit)];
  }
  return id;
}

std::optional<PanoramaCell> CellOfPanoId(std::string_view panoId) {
  const auto capture = CaptureOfPanoId(panoId);
  if (!capture) return std::nullopt;
  return capture->Cell;
}

std::optional<PanoramaCapture> CaptureOfPanoId(std::string_view panoId) {
  if (panoId.size() != PanoIdLength) return std::nullopt;
  IdBitsValue value;
  for (int c = 0; c < PanoIdLength; ++c) {
    const std::size_t digit = IdAlphabet.find(panoId[static_cast<std::size_t>(c)]);
    if (digit == std::string_view::npos) return std::nullopt;
    for (int b = 0; b < BitsPerIdChar; ++b) {
      if ((digit >> (BitsPerIdChar - 1 - b)) & 1) SetBit(value, c * 6 + b);
    }
  }
  const PanoramaCell cell = Unpack(value.Masked ^ MixBits(value.Check ^ MaskKey));
  if ((MixBits(value.Check ^ NibbleKey) >> 60) != value.Nibble) return std::nullopt;
  for (int capture = 0; capture < CapturesPerPlace; ++capture) {
    if (CheckOf(cell, capture) == value.Check) return PanoramaCapture{cell, capture};
  }
  return std::nullopt;
}

std::uint64_t MixBits(std::uint64_t value) {
  value += 0x9e3779b97f4a7c15ULL;  // SplitMix64's finaliser
  value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
  value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
  return value ^ (value >> 31);
}

std::uint64_t StableHash(std::string_view text) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;  // FNV-1a, then mixed
  for (const char c : text) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ULL;
  }
  return MixBits(hash);
}

}  // namespace korvane::standin
