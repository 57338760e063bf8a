#pragma once

#include <optional>
#include <string>

namespace korvane {

// A place as the coordinate boxes take it: each number exactly as it stood in the text.
struct PlaceTexts {
  std::string Latitude;
  std::string Longitude;
};

// The place in what a user pasted into the latitude box: a map link whose path holds
// "@LAT,LON" (".../maps/@48.8583701,2.2944813,3a,75y,90t/data=..."), or a pair such as
// "48.8583701, 2.2944813". Nothing for any other text, which then stays as typed.
//
// A pair needs a decimal point in both numbers or a space after the comma: "52,52" is one
// latitude typed with a decimal comma, as the start rules read it, and stays as typed.
std::optional<PlaceTexts> PlaceFromText(const std::string& text);

}  // namespace korvane
