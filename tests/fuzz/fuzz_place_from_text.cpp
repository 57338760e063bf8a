// What a user pastes into the latitude box: a map link holding "/@LAT,LON" or a "LAT, LON" pair.
// A place found is two plain decimal numbers taken from the text, and the pair written back as
// "LAT, LON" or inside a link reads as the same place.
#include <cstdlib>
#include <string>

#include "FuzzTarget.h"
#include "lookup/PlaceFromLink.h"

namespace {

// Optional sign, digits, optionally "." and digits: the whole text.
bool IsPlainDecimal(const std::string& text) {
  std::size_t at = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  const auto digits = [&text, &at] {
    const std::size_t from = at;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9')
      ++at;
    return at > from;
  };
  if (!digits()) return false;
  if (at < text.size() && text[at] == '.') {
    ++at;
    if (!digits()) return false;
  }
  return at == text.size();
}

bool Same(const std::optional<korvane::PlaceTexts>& a, const korvane::PlaceTexts& b) {
  return a && a->Latitude == b.Latitude && a->Longitude == b.Longitude;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace korvane;
  const std::string text(fuzz::AsText(data, size));
  const std::optional<PlaceTexts> place = PlaceFromText(text);
  if (!place) return 0;
  if (!IsPlainDecimal(place->Latitude) || !IsPlainDecimal(place->Longitude)) std::abort();
  if (text.find(place->Latitude) == std::string::npos ||
      text.find(place->Longitude) == std::string::npos)
    std::abort();
  if (!Same(PlaceFromText(place->Latitude + ", " + place->Longitude), *place)) std::abort();
  const std::string link =
      "https://maps.example/maps/@" + place->Latitude + "," + place->Longitude + ",3a,75y";
  if (!Same(PlaceFromText(link), *place)) std::abort();
  return 0;
}
