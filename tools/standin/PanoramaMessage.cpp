#include "PanoramaMessage.h"

#include "PanoramaSizes.h"
#include "TileGrid.h"

namespace korvane::standin {
namespace {

using Json = nlohmann::json;

constexpr int FirstCaptureYear = 2008;
constexpr int CaptureYears = 17;
// Years between a place's captures.
constexpr int YearsBetweenCaptures = 3;
constexpr std::uint64_t PartKey = 0x7061727469616c35ULL;
constexpr int CellsInPart = 8;  // one cell in this many
// How far PointAnswered walks before it gives up.
constexpr int MaxCellsWalked = 1000;
// The service gives the pitch of the picture's centre from straight down.
constexpr double StraightDown = 90.0;

Json Nulls(std::size_t count) {
  return Json(std::vector<Json>(count, nullptr));
}

// [[null, null, lat, lon], [elevation], [heading, pitch, roll]]: where a capture stands and
// how its camera was turned; the orientation only for whole answers.
Json Placement(const PlacedPanorama& placed, bool whole) {
  Json placement = Json::array({Json::array({nullptr, nullptr, placed.Latitude, placed.Longitude}),
                                Json::array({placed.Elevation})});
  if (whole)
    placement.push_back(Json::array({placed.Heading, StraightDown - placed.Tilt, placed.Roll}));
  return placement;
}

// One entry of the panoramas around: [[2, id], null, placement].
Json AroundEntry(const PlacedPanorama& placed) {
  return Json::array({Json::array({2, placed.PanoId}), nullptr, Placement(placed, true)});
}

// M[5][0][3], [6] and [8]: the panoramas around, the links to the neighbours, the other dates.
void PutAround(Json& place, const MessageParts& parts) {
  Json around = Json::array({AroundEntry(parts.Self)});
  Json links = Json::array();
  for (const auto& [neighbour, bearing] : parts.Links) {
    links.push_back(
        Json::array({around.size(), Json::array({nullptr, nullptr, nullptr, bearing})}));
    around.push_back(AroundEntry(neighbour));
  }
  Json dates = Json::array();
  for (const auto& [other, date] : parts.OtherDates) {
    dates.push_back(Json::array({around.size(), Json::array({date.first, date.second})}));
    around.push_back(AroundEntry(other));
  }
  place[3] = Json::array({around});
  place[6] = links;
  place[8] = dates;
}

// Where a capture of a cell stands and how its camera was turned, from its id.
PlacedPanorama PlacedOf(const PanoramaCell& cell, int capture) {
  PlacedPanorama placed;
  placed.PanoId = PanoIdOf(cell, capture);
  const std::uint64_t seed = StableHash(placed.PanoId);
  placed.Latitude = CellCentreLatitude(cell);
  placed.Longitude = CellCentreLongitude(cell);
  placed.Elevation = static_cast<double>((seed >> 20) % 3000) / 10.0;
  placed.Heading = static_cast<double>(seed % 36000) / 100.0;
  placed.Tilt = static_cast<double>(static_cast<int>((seed >> 32) % 41) - 20) / 10.0;
  placed.Roll = static_cast<double>(static_cast<int>((seed >> 40) % 21) - 10) / 10.0;
  return placed;
}

PanoramaCell Beside(const PanoramaCell& cell, int north, int east) {
  return PanoramaCell{cell.LatIndex + north, cell.LonIndex + east};
}

}  // namespace

std::pair<int, int> CaptureDateOf(const PanoramaCell& cell, int capture) {
  const std::uint64_t newest = StableHash(PanoIdOf(cell, 0));
  const int year =
      FirstCaptureYear + static_cast<int>(newest % CaptureYears) - YearsBetweenCaptures * capture;
  const std::uint64_t seed = StableHash(PanoIdOf(cell, capture));
  return {year, 1 + static_cast<int>((seed >> 8) % 12)};
}

bool IsAnsweredInPart(const PanoramaCell& cell) {
  const std::uint64_t packed =
      (static_cast<std::uint64_t>(static_cast<std::uint32_t>(cell.LatIndex)) << 32) |
      static_cast<std::uint32_t>(cell.LonIndex);
  return MixBits(packed ^ PartKey) % CellsInPart == 0;
}

std::optional<std::pair<double, double>> PointAnswered(bool answeredInPart, double latitude,
                                                       double longitude) {
  auto cell = CellOf(latitude, longitude);
  if (!cell) return std::nullopt;
  for (int walked = 0; walked < MaxCellsWalked; ++walked, ++cell->LonIndex) {
    if (IsAnsweredInPart(*cell) == answeredInPart) {
      return std::make_pair(CellCentreLatitude(*cell), CellCentreLongitude(*cell));
    }
  }
  return std::nullopt;
}

Json PanoramaMessage(const MessageParts& parts) {
  const PanoramaShape& shape = parts.Shape;
  Json sizes = Json::array();
  for (int zoom = 0; zoom <= shape.HighestZoom; ++zoom) {
    sizes.push_back(Json::array({Json::array({shape.HeightAt(zoom), shape.WidthAt(zoom)})}));
  }
  const auto [year, month] = parts.Date;

  Json panorama = Nulls(7);
  panorama[0] = Json::array({1});
  panorama[1] = Json::array({2, parts.Self.PanoId});
  panorama[2] = Json::array({2, 2, nullptr, Json::array({sizes, {TilePixels, TilePixels}})});
  if (parts.Whole) {
    panorama[2][2] = Json::array({shape.Height, shape.Width});
    panorama[3] = Json::array(
        {Json::array({Json::array({"Stand-in street", "en"})}), nullptr,
         Json::array({Json::array({"1 Stand-in street", "en"}), Json::array({"Offline", "en"})})});
    panorama[4] = Json::array({Json::array(
        {Json::array({Json::array({"(c) " + std::to_string(year) + " Korvane stand-in"})})})});
  } else {
    panorama[3] = Json::array({Json::array({Json::array({"Stand-in street"})})});
  }
  Json place = Nulls(parts.Whole ? 9 : 2);
  place[0] = Json::array({1});
  place[1] = Placement(parts.Self, parts.Whole);
  if (parts.Whole) PutAround(place, parts);
  panorama[5] = Json::array({place});
  Json dated = Nulls(8);
  dated[7] = Json::array({year, month});
  panorama[6] = dated;
  return panorama;
}

Json PanoramaMessage(const PanoramaCell& cell, int capture) {
  struct Neighbour {
    int North, East;
    double Bearing;
  };
  constexpr Neighbour Neighbours[] = {{1, 0, 0.0}, {0, 1, 90.0}, {-1, 0, 180.0}, {0, -1, 270.0}};
  MessageParts parts;
  parts.Self = PlacedOf(cell, capture);
  parts.Whole = !IsAnsweredInPart(cell);
  parts.Shape = ShapeOf(SizeOfCell(cell));
  parts.Date = CaptureDateOf(cell, capture);
  if (!parts.Whole) return PanoramaMessage(parts);
  for (const Neighbour& n : Neighbours) {
    const PanoramaCell next = Beside(cell, n.North, n.East);
    if (!CellOf(CellCentreLatitude(next), CellCentreLongitude(next))) continue;
    parts.Links.emplace_back(PlacedOf(next, 0), n.Bearing);
  }
  for (int other = 0; other < CapturesPerPlace; ++other)
    if (other != capture)
      parts.OtherDates.emplace_back(PlacedOf(cell, other), CaptureDateOf(cell, other));
  return PanoramaMessage(parts);
}

}  // namespace korvane::standin
