#pragma once

#include <optional>
#include <string>

namespace korvane {

// A place as the coordinate boxes take it: each number exactly as it stood in the text.
struct PlaceTexts {
  std::string Latitude;
  std::string Longitude;
  // The panorama id a map link names ("!1s<ID>" in its data part), empty when none. A link
  // may name an id and no place; then both coordinates are empty.
  std::string PanoId;
};

// The place in what a user pasted into the latitude box: a map link whose path holds
// "@LAT,LON" (".../maps/@48.8583701,2.2944813,3a,75y,90t/data=..."), or a pair such as
// "48.8583701, 2.2944813", or a map link that names a panorama ("...!1s<ID>!2e0..."; the
// first "!1s" field that is a usable id, so a place's "!1s0x...:0x..." is passed by). Nothing
// for any other text, which then stays as typed.
//
// A pair needs a decimal point in both numbers or a space after the comma: "52,52" is one
// latitude typed with a decimal comma, as the start rules read it, and stays as typed.
std::optional<PlaceTexts> PlaceFromText(const std::string& text);

}  // namespace korvane
