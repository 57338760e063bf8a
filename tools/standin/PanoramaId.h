#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::standin {

// The place of one panorama: the real service answers a point with its nearest panorama, so
// every point is snapped to a cell about SnapMetres on a side and each cell holds one panorama.
struct PanoramaCell {
  std::int32_t LatIndex = 0;
  std::int32_t LonIndex = 0;
  friend bool operator==(const PanoramaCell&, const PanoramaCell&) = default;
};

// The cell that holds the point, or nothing where there is no coverage (beyond
// MaxCoveredLatitude, or not a finite point on the globe).
std::optional<PanoramaCell> CellOf(double latitude, double longitude);

// The centre of a cell: where its panorama stands.
double CellCentreLatitude(const PanoramaCell& cell);
double CellCentreLongitude(const PanoramaCell& cell);

// Each place was captured CapturesPerPlace times; capture 0 is the newest, the one a lookup at
// a point finds, and the others are reached by id (the lookup lists them as other dates).
inline constexpr int CapturesPerPlace = 3;

// The 22-character id of the cell's panorama of one capture (letters, digits, "-" and "_"). It
// carries the cell, the capture and a check, so the service can tell its own ids from any other
// text. Capture 0's ids are those of a service without other dates.
std::string PanoIdOf(const PanoramaCell& cell, int capture = 0);

// The cell whose panorama has this id (of any capture), or nothing for a text this service
// never hands out.
std::optional<PanoramaCell> CellOfPanoId(std::string_view panoId);

// The cell and capture of an id, or nothing as above.
struct PanoramaCapture {
  PanoramaCell Cell;
  int Capture = 0;
};
std::optional<PanoramaCapture> CaptureOfPanoId(std::string_view panoId);

// A cheap, well-mixed bijection on 64 bits, stable across runs and machines.
std::uint64_t MixBits(std::uint64_t value);

// A 64-bit value derived from a text, stable across runs: seeds each panorama's picture.
std::uint64_t StableHash(std::string_view text);

}  // namespace korvane::standin
