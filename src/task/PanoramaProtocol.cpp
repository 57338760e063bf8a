#include "task/PanoramaProtocol.h"

#include <algorithm>
#include <iterator>

namespace korvane {
namespace {

// Everything that tells the protocols apart outside the code that speaks them: one row each.
struct ProtocolRow {
  PanoramaProtocol Protocol;
  const char* Name;
  int MapsType;
  bool ById;  // has a lookup by panorama id
};

constexpr ProtocolRow Protocols[] = {
    {PanoramaProtocol::Classic, "classic", 32, false},
    {PanoramaProtocol::Current, "current", 33, true},
    {PanoramaProtocol::MapTiles, "maptiles", 34, true},
};

const ProtocolRow& RowOf(PanoramaProtocol protocol) {
  return *std::find_if(std::begin(Protocols), std::end(Protocols),
                       [protocol](const ProtocolRow& row) { return row.Protocol == protocol; });
}

std::string Lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::string ProtocolName(PanoramaProtocol protocol) {
  return RowOf(protocol).Name;
}

std::optional<PanoramaProtocol> ParsePanoramaProtocol(const std::string& text) {
  const std::string name = Lowered(text);
  for (const ProtocolRow& row : Protocols) {
    if (name == row.Name) return row.Protocol;
  }
  return std::nullopt;
}

bool OffersLookupById(PanoramaProtocol protocol) {
  return RowOf(protocol).ById;
}

int MapsTypeOf(PanoramaProtocol protocol) {
  return RowOf(protocol).MapsType;
}

std::optional<PanoramaProtocol> ProtocolOfMapsType(int mapsType) {
  for (const ProtocolRow& row : Protocols) {
    if (mapsType == row.MapsType) return row.Protocol;
  }
  return std::nullopt;
}

}  // namespace korvane
