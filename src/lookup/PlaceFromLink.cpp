#include "lookup/PlaceFromLink.h"

#include <cctype>
#include <string_view>

#include "platform/TextTrim.h"
#include "task/PanoIdCheck.h"

namespace korvane {
namespace {

bool IsDigit(char c) {
  return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

// A decimal number at the front of text: optional sign, digits, optionally "." and digits.
// Its length, or 0 when there is none.
size_t NumberLength(std::string_view text) {
  size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  const size_t digitsFrom = at;
  while (at < text.size() && IsDigit(text[at]))
    ++at;
  if (at == digitsFrom) return 0;
  if (at + 1 < text.size() && text[at] == '.' && IsDigit(text[at + 1])) {
    ++at;
    while (at < text.size() && IsDigit(text[at]))
      ++at;
  }
  return at;
}

struct Pair {
  PlaceTexts Place;
  size_t Length = 0;  // of the whole pair
  bool SpaceAfterComma = false;
};

// "NUMBER,NUMBER" at the front of text, blanks allowed around the comma.
std::optional<Pair> PairAtFront(std::string_view text) {
  Pair pair;
  const size_t latitudeLength = NumberLength(text);
  if (latitudeLength == 0) return std::nullopt;
  size_t at = latitudeLength;
  while (at < text.size() && IsSpace(text[at]))
    ++at;
  if (at >= text.size() || text[at] != ',') return std::nullopt;
  ++at;
  const size_t longitudeFrom = [&] {
    size_t from = at;
    while (from < text.size() && IsSpace(text[from]))
      ++from;
    return from;
  }();
  pair.SpaceAfterComma = longitudeFrom > at;
  const size_t longitudeLength = NumberLength(text.substr(longitudeFrom));
  if (longitudeLength == 0) return std::nullopt;
  pair.Place.Latitude = std::string(text.substr(0, latitudeLength));
  pair.Place.Longitude = std::string(text.substr(longitudeFrom, longitudeLength));
  pair.Length = longitudeFrom + longitudeLength;
  return pair;
}

bool HasDecimalPoint(const std::string& number) {
  return number.find('.') != std::string::npos;
}

// The first "!1s" field of a link that is a panorama id; empty when there is none.
std::string PanoIdInLink(std::string_view text) {
  constexpr std::string_view Marker = "!1s";
  for (size_t at = text.find(Marker); at != std::string_view::npos;
       at = text.find(Marker, at + 1)) {
    const std::string_view rest = text.substr(at + Marker.size());
    const std::string_view value = rest.substr(0, rest.find_first_of("!?&#"));
    if (IsUsablePanoId(value)) return std::string(value);
  }
  return "";
}

// A map link: no blanks, and "/@" followed by the pair and then the end or another field, or a
// panorama id in its data (see PlaceFromText).
std::optional<PlaceTexts> PlaceFromLink(std::string_view text) {
  for (char c : text) {
    if (IsSpace(c)) return std::nullopt;
  }
  std::string panoId = text.find("/maps") != std::string_view::npos ? PanoIdInLink(text) : "";
  const size_t marker = text.find("/@");
  if (marker == std::string_view::npos) {
    if (panoId.empty()) return std::nullopt;
    return PlaceTexts{"", "", std::move(panoId)};
  }
  const std::string_view rest = text.substr(marker + 2);
  std::optional<Pair> pair = PairAtFront(rest);
  if (!pair) return std::nullopt;
  if (pair->Length < rest.size() &&
      std::string_view(",/?#&").find(rest[pair->Length]) == std::string_view::npos) {
    return std::nullopt;
  }
  pair->Place.PanoId = std::move(panoId);
  return pair->Place;
}

}  // namespace

std::optional<PlaceTexts> PlaceFromText(const std::string& text) {
  const std::string_view trimmed = TrimSpace(text);
  if (std::optional<PlaceTexts> place = PlaceFromLink(trimmed)) return place;
  std::optional<Pair> pair = PairAtFront(trimmed);
  if (!pair || pair->Length != trimmed.size()) return std::nullopt;
  const bool pointed =
      HasDecimalPoint(pair->Place.Latitude) && HasDecimalPoint(pair->Place.Longitude);
  if (!pointed && !pair->SpaceAfterComma) return std::nullopt;
  return pair->Place;
}

}  // namespace korvane
